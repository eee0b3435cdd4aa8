#pragma once

#include "core/erro.h"
#include "tables/clientdataset.h"

#include <QMap>
#include <QStringList>
#include <vector>

namespace nq::teste {

// Answers each statement with the result set the test gave for it and keeps
// the statements it ran; an unknown statement fails like a bad query.
class BancoRoteirizado : public ProvedorSql {
public:
    struct Resultado {
        std::vector<FieldDef> campos;
        std::vector<std::vector<Value>> linhas;
    };

    void responde(const QString& comando, Resultado r) { respostas_[comando] = std::move(r); }

    void preenche(const QString& comando, ClientDataSet& tabela) override {
        executados << comando;
        const auto it = respostas_.constFind(comando);
        if (it == respostas_.constEnd())
            throw Erro(QStringLiteral("Comando desconhecido: %1").arg(comando));
        tabela.close();
        tabela.clearFields();
        for (const auto& c : it->campos)
            tabela.addField(c.name, c.kind, c.size);
        tabela.createDataSet();
        for (const auto& l : it->linhas)
            tabela.appendRecord(l);
    }

    QStringList executados;

private:
    QMap<QString, Resultado> respostas_;
};

} // namespace nq::teste
