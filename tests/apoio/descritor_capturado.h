#pragma once

#include <QString>
#include <QTemporaryFile>
#include <cstdio>
#include <unistd.h>

// What the program writes to a descriptor (1: standard output, 2: standard
// error) while this object lives; texto() ends the capture.
class DescritorCapturado {
public:
    explicit DescritorCapturado(int descritor) : descritor_(descritor), antigo_(::dup(descritor)) {
        arquivo_.open();
        esvazia();
        ::dup2(arquivo_.handle(), descritor_);
    }
    ~DescritorCapturado() { devolve(); }
    DescritorCapturado(const DescritorCapturado&) = delete;
    DescritorCapturado& operator=(const DescritorCapturado&) = delete;

    QString texto() {
        devolve();
        arquivo_.seek(0);
        return QString::fromUtf8(arquivo_.readAll());
    }

private:
    void esvazia() { std::fflush(descritor_ == 1 ? stdout : stderr); }
    void devolve() {
        if (antigo_ < 0)
            return;
        esvazia();
        ::dup2(antigo_, descritor_);
        ::close(antigo_);
        antigo_ = -1;
    }
    QTemporaryFile arquivo_;
    int descritor_;
    int antigo_;
};
