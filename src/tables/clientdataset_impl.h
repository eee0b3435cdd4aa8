#pragma once

// The state behind a ClientDataSet, shared by the files that implement it.

#include "tables/clientdataset.h"
#include "tables/observadores.h"
#include "tables/visao.h"

#include <map>
#include <optional>

namespace nq {

struct ClientDataSet::Impl {
    std::vector<FieldDef> definicoes; // persistent, for createDataSet
    std::vector<FieldDef> calculados;
    Dados dados; // always has the table's fields; rows only while open
    Visao visao;
    bool visaoSuja = false;
    int atual = -1; // visible position of the current row
    bool eof = true;
    bool bof = true;
    std::vector<Value> buffer; // the row being edited or appended
    int linhaEditada = -1;
    int linhaCalculada = -1;
    QString camposIndice;
    QString nomeIndice;
    std::map<QString, QString> indices; // upper-case name -> fields
    QString textoFiltro;
    std::optional<Filtro> filtro;
    bool filtrado = false;
    std::function<void(ClientDataSet&)> aoCalcular;
    Observadores<DataSetEvent> observadores;

    int linhaAtual() const { return atual >= 0 ? visao.linhas()[atual] : -1; }
    int persistentes() const { return dados.campos() - static_cast<int>(calculados.size()); }
    const Filtro* filtroAtivo() const { return filtrado && filtro ? &*filtro : nullptr; }
    QString ordemAtiva() const {
        if (nomeIndice.isEmpty())
            return camposIndice;
        const auto it = indices.find(nomeIndice.toUpper());
        return it == indices.end() ? QString() : it->second;
    }

    Dados estruturaVazia() const {
        Dados d;
        for (const FieldDef& def : definicoes)
            d.acrescentaCampo(def);
        for (const FieldDef& def : calculados)
            d.acrescentaCampo(def);
        return d;
    }

    // Rows appended in bulk under an index are placed all at once, here.
    void garanteVisao() {
        if (!visaoSuja)
            return;
        const int linha = linhaAtual();
        visao.refaz(dados);
        visaoSuja = false;
        atual = linha >= 0 ? visao.posicaoDe(linha) : -1;
        if (atual < 0 && visao.tamanho() > 0) {
            atual = 0;
            eof = bof = false;
        }
        if (atual < 0)
            eof = bof = true;
    }

    void ficaEm(int posicao) {
        atual = posicao;
        eof = bof = posicao < 0;
    }
};

} // namespace nq
