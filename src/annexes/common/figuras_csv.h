#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace nq {

class TppReport;
class TppCustomText;
class TppGroup;

// One printed money figure, in the long form every annex shares.
struct Figura {
    QString quadro;    // the in-memory table the line comes from ("cdsRec")
    QString id;        // the line's ID, trimmed: the ID field, else the field the pipeline
                       // aliases "ID", else the table's first field
    QString descricao; // the line's caption (NOME) as printed
    QString coluna;    // the data field or variable that prints it ("PREVISTO_BIM3", "ppVariable1")
    QString valor;     // as printed, "." as decimal point, no grouping ("-1234.56")
};

// Records the money figures of a report while it is generated, from the very
// texts the detail bands and group footers print (so they match the pages), in
// print order. Attaches to the data components of money fields (and of
// floating-point fields shown with two decimals: money and percentages) and to
// the currency variables of every detail band and group footer, its
// subreports' included; detaches when destroyed. A group footer's figures are
// filed under the line of the group's first row.
class ColetorDeFiguras {
public:
    explicit ColetorDeFiguras(TppReport& relatorio);
    ~ColetorDeFiguras();
    ColetorDeFiguras(const ColetorDeFiguras&) = delete;
    ColetorDeFiguras& operator=(const ColetorDeFiguras&) = delete;

    const std::vector<Figura>& figuras() const { return figuras_; }

private:
    struct Gancho;
    struct Linha;
    const Linha& linhaDoGrupo(TppGroup& grupo);
    void registra(const Gancho& gancho, const QString& texto);

    std::vector<std::unique_ptr<Gancho>> ganchos_;
    std::vector<std::unique_ptr<Linha>> linhas_;
    std::vector<Figura> figuras_;
};

// A printed number in plain form: the report locale's grouping dropped and its
// decimal separator turned into "." ("-1.234,56" -> "-1234.56").
QString numeroSimples(const QString& impresso);

// Writes `quadro;id;descricao;coluna;valor` and one row per figure, UTF-8,
// atomically (the old file stays when writing fails). Throws nq::Erro.
void gravaFigurasCsv(const QString& arquivo, const std::vector<Figura>& figuras);

} // namespace nq
