#pragma once

// Shared by the files of the Firebird layer only: the client library, the
// status wrapper, the error texts and the conversions between the client's
// message buffers and Qt values.

#include "db/firebird.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QTime>
#include <cstdint>
#include <cstring>
#include <firebird/Interface.h>

namespace nq::fb::interno {

Firebird::IMaster* mestre();
Firebird::IUtil* util();
// The dispatcher of the linked client, or of another client library loaded by
// path. Loaded libraries stay loaded: attachments may outlive any one caller.
Firebird::IProvider* provedor(const QString& biblioteca);

// A status wrapper that throws FbException and gives its status back on exit.
class Status {
public:
    Status() : w_(mestre()->getStatus()) {}
    ~Status() { w_.dispose(); }
    Status(const Status&) = delete;
    Status& operator=(const Status&) = delete;
    Firebird::ThrowStatusWrapper* operator&() { return &w_; }

private:
    Firebird::ThrowStatusWrapper w_;
};

QString textoDoStatus(const Firebird::FbException& e);
[[noreturn]] void falhaNoComando(const Firebird::FbException& e, const QString& sql);

int64_t potencia10(int n);
// v / d rounded half away from zero.
int64_t divideArredondando(int64_t v, int64_t d);
// A scaled integer as plain text with a point: -1234.50.
QString textoEscalado(int64_t v, int escala);
QByteArray paraNativo(const QString& s);
QDate paraData(ISC_DATE d);
QTime paraHora(ISC_TIME t);
ISC_DATE deData(const QDate& d);
ISC_TIME deHora(const QTime& t);

template <class T> T le(const unsigned char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <class T> void escreve(unsigned char* p, T v) {
    std::memcpy(p, &v, sizeof v);
}

// An integer field of a message, of any of the three widths.
int64_t inteiroBruto(unsigned tipo, const unsigned char* p);

} // namespace nq::fb::interno
