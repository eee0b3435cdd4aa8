#pragma once

#include "apoio_anexos.h"

#include "annexes/anexo1/anexo1.h"

// Annex 1 as the launcher runs it: the first question (spread the forecast over
// the bimesters) answered `divide`, the others as `respostas` queue them.
class BancoDoAnexo1 : public BancoDeAnexos {
protected:
    Resultado roda(int bimestre, bool divide, std::vector<bool> respostas = {}) {
        respostas.insert(respostas.begin(), divide);
        return BancoDeAnexos::roda<nq::TImpAnexo1>(bimestre, std::move(respostas));
    }
};

// The receipt and expenditure tables as printed.
inline const Linhas& receita(const Resultado& r) {
    return r.tabelas.at(QStringLiteral("ppDBPipeline1"));
}
inline const Linhas& despesa(const Resultado& r) {
    return r.tabelas.at(QStringLiteral("ppDBPipeline2"));
}

inline nq::Moeda moeda(const Linhas& l, const QString& id, const QString& campo) {
    const auto linha = l.find(id);
    if (linha == l.end())
        ADD_FAILURE() << "sem a linha " << id.toStdString();
    return linha == l.end() ? nq::Moeda() : linha->second.at(campo).asCurrency();
}
