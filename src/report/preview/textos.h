#pragma once

#include <QString>

// The texts of the preview, print, cancel and no-data windows, by their number in the
// report engine's string table. Windows look each one up when they are created.
namespace nq {

enum class TextoDoRelatorio : int {
    Cem = 43001,
    Todas = 43003,
    Calculando = 43004,
    Cancelar = 43005,
    Fechar = 43006,
    Copias = 43007,
    PaginaAtual = 43009,
    Desenhando = 43010,
    NotaDasPaginas = 43011,
    PrimeiraPagina = 43013,
    UltimaPagina = 43014,
    ProximaPagina = 43015,
    Ok = 43017,
    IntervaloDePagina = 43019,
    Paginas = 43020,
    Imprimir = 43022,
    Imprimindo = 43024,
    Impressora = 43025,
    ImprimirParaArquivo = 43026,
    ImprimindoPagina = 43027,
    ImprimindoPaginaDeTotal = 43028,
    PaginaAnterior = 43029,
    PaginaInteira = 43030,
    LarguraDaPagina = 43031,
    NenhumaPaginaInformada = 43032,
    EspecifiqueOArquivo = 43033,
    Nome = 44010,
    Tipo = 44011,
    Onde = 44012,
    Propriedades = 44013,
    NumeroDeCopias = 44014,
    Agrupar = 44015,
    ImprimirFaixa = 44016,
    TodasAsPaginasNaFaixa = 44017,
    PaginasImpares = 44018,
    PaginasPares = 44019,
    Procurar = 44021,
    NenhumDadoEncontrado = 44034,
    NaoHaDados = 44035,
    MostraBuscaDeTexto = 44054,
    EscondeBuscaDeTexto = 44055,
    ImprimirEmSegundoPlano = 44073,
};

// The text of the table; throws nq::Erro for a number the table lacks.
QString texto(TextoDoRelatorio numero);
QString texto(int numero);

// Values for the placeholders <page>, <pagecount>, <documentname> and <printername>.
struct MarcadoresDeTexto {
    int pagina = 0;
    int totalDePaginas = 0;
    QString documento;
    QString impressora;
};

// The text with its placeholders replaced.
QString texto(TextoDoRelatorio numero, const MarcadoresDeTexto& marcadores);

} // namespace nq
