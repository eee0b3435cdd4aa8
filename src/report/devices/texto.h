#pragma once

#include "report/devices/dispositivo.h"

#include <map>

namespace nq {

// How the text-file device separates the values of a record.
enum class TipoArquivoTexto { Virgula = 0, Tabulacao = 1, ColunasFixas = 2 };

// The text-file type as the print options hold it: 0 comma, 1 tab, any other value fixed
// columns.
TipoArquivoTexto tipoArquivoTexto(int codigo);

// "TextFile": one line per record of the report's data (the data components of the detail
// band, left to right), lines ending in CR LF, UTF-8. Comma-separated values that contain
// a comma, a quote or a line break are quoted, so that "1.234,56" stays one value.
class DispositivoArquivoTexto : public DispositivoDeArquivo {
public:
    explicit DispositivoArquivoTexto(TipoArquivoTexto tipo = TipoArquivoTexto::Virgula)
        : tipo_(tipo) {}

    QString nome() const override { return QStringLiteral("TextFile"); }
    QString extensao() const override { return QStringLiteral("txt"); }
    QString filtro() const override { return QStringLiteral("Text files|*.TXT|All files|*.*"); }

    void defineTipo(TipoArquivoTexto tipo) { tipo_ = tipo; }

    void iniciaTrabalho(const TrabalhoDeImpressao& trabalho) override;
    void recebePagina(const Pagina& pagina) override;
    void terminaTrabalho() override;

private:
    struct Valor {
        int esquerda = 0;
        int topo = 0;
        QString texto;
        Alinhamento alinhamento = Alinhamento::Esquerda;
        int caracteres = 0; // how many characters of its font the component's box holds
    };
    QString linha(const std::vector<Valor>& valores, const std::vector<int>& larguras) const;

    TipoArquivoTexto tipo_;
    std::map<int, std::vector<Valor>> registros_;
};

} // namespace nq
