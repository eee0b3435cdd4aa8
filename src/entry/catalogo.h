#pragma once

#include "tables/dados.h"
#include "tables/valor.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

namespace nq {

// Every typed-data file of the data directory.
enum class ArquivoDigitado {
    Anexo1Receita,
    Anexo1Despesa,
    Anexo1BReceita,
    Anexo1BDespesa,
    Anexo2,
    Anexo3, // one per year
    Anexo4Receita,
    Anexo4ReceitaFin,
    Anexo4Despesa,
    Anexo4DespesaFin,
    Anexo5Receita,       // one per year
    Anexo5Despesa,       // one per year
    Anexo5Especificacao, // one per year
    Anexo6,
    Anexo7,
    Justificativas,
    Anexo8,
    Anexo10,
    GestaoFiscal,
    GestaoFiscalDigitada,
};

// The values that a preparation writes into one row, by column name.
class LinhaSemeada {
public:
    LinhaSemeada() = default;
    explicit LinhaSemeada(std::vector<std::pair<QString, Value>> valores)
        : valores_(std::move(valores)) {}

    const std::vector<std::pair<QString, Value>>& valores() const { return valores_; }
    // Null when the row does not set that column (names ignore letter case).
    Value valor(const QString& coluna) const;
    void define(const QString& coluna, const Value& valor);

private:
    std::vector<std::pair<QString, Value>> valores_;
};

// A seeded row of the description, or the place where the preparation routine
// inserts the rows it makes itself (from the database, or by year).
struct ItemSemeado {
    LinhaSemeada linha;
    std::optional<int> ateAno;   // seeded only up to this year
    std::optional<int> desdeAno; // seeded only from this year on
    bool daRotina = false;

    bool valePara(std::optional<int> ano) const;
};

// The fixed structure of one typed-data file: name, key column, columns in
// order, seeded rows and how new or null money is treated.
struct DescricaoArquivo {
    QString arquivo; // "NQ404_Anexo3_{ANO}.xml" for the files kept once per year
    QString chave;
    std::vector<FieldDef> colunas;
    std::vector<ItemSemeado> itens;
    bool semLinhas = false;              // created only, never seeded
    bool zeraMoedaAoAcrescentar = false; // an appended row gets 0 in every money column
    QStringList zeraSeNulo;              // money columns that a seeded row turns from null to 0
    bool gravaACadaLinha = false;        // saved after every seeded row

    bool porAno() const;
    // The file name; `ano` (four digits) is required by the files kept once per year.
    QString nome(const QString& ano = {}) const;
    // The rows to seed, in order: the fixed rows that hold for `ano` with
    // `daRotina` in the place the description reserves for them.
    std::vector<LinhaSemeada> linhas(std::optional<int> ano,
                                     const std::vector<LinhaSemeada>& daRotina = {}) const;
};

// The description of `a`, read once from the program's resources.
const DescricaoArquivo& descricao(ArquivoDigitado a);

// The file's name as the program writes it ("NQ404_Anexo5_Receita_2006.xml").
QString nomeArquivo(ArquivoDigitado a, const QString& ano = {});
// The file in the data directory `diretorio`: the existing one under any letter
// case, or the name as the program writes it.
QString caminhoArquivo(const QString& diretorio, ArquivoDigitado a, const QString& ano = {});

// A year as the per-year files take it: four digits, or nq::Erro.
int anoDoArquivo(const QString& ano);

} // namespace nq
