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

// The statements with which the preparations read the entities (annexes 1-B,
// 6 and 7) and the functions in use (annex 2).
inline const QString SqlEntidades1B = QStringLiteral("SELECT EMPRESA, NOME FROM TABEMPRESA");
inline const QString SqlEntidades6 =
    QStringLiteral("select empresa, nome from tabempresa order by empresa");
inline const QString SqlEntidades7 =
    QStringLiteral("SELECT EMPRESA,NOME FROM TABEMPRESA ORDER BY EMPRESA");
inline const QString SqlFuncoes = QStringLiteral(
    "select a.funcao||'.'||A.SUBFUNCAO as Funcao,f.nome from desdis a left join "
    "tabsubfuncao f on f.subfuncao=a.subfuncao where not a.funcao is null and not "
    "a.funcao like '9%'UNION select CAST(a.funcao AS VARCHAR(6)),s.nome from desdis a "
    "left join tabfuncao s on s.funcao=a.funcao where not a.funcao is null and not "
    "a.funcao like '9%'");

} // namespace nq::teste
