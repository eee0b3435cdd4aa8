#include "report/preview/textos.h"

#include "core/erro.h"

#include <QHash>

namespace nq {

namespace {

const QHash<int, QString>& tabela() {
    static const QHash<int, QString> t{
        {43001, QStringLiteral("100 %")},
        {43003, QStringLiteral("Todas")},
        {43004, QStringLiteral("Calculando a página <page> para o relatório <documentname>")},
        {43005, QStringLiteral("Cancelar")},
        {43006, QStringLiteral("Fechar")},
        {43007, QStringLiteral("Cópias")},
        {43009, QStringLiteral("Página Atual")},
        {43010, QStringLiteral("Desenhando a página <page> de <pagecount> para o o relatório "
                               "<documentname>")},
        {43011, QStringLiteral("Informe os Números de Página e/ou Intervalos Separados por "
                               "Vírgulas. Por Exemplo: 1,3,5-12.")},
        {43013, QStringLiteral("Primeira Página")},
        {43014, QStringLiteral("Ultima Página")},
        {43015, QStringLiteral("Próxima Página")},
        {43017, QStringLiteral("OK")},
        {43019, QStringLiteral("Intervalo de Página")},
        {43020, QStringLiteral("Páginas")},
        {43022, QStringLiteral("Imprimir")},
        {43024, QStringLiteral("Imprimindo")},
        {43025, QStringLiteral("Impressora")},
        {43026, QStringLiteral("Imprimir para Arquivo")},
        {43027, QStringLiteral("Imprimindo a página <page> do Relatório <documentname> em "
                               "<printername>")},
        {43028, QStringLiteral("Imprimindo a Página <page> de <pagecount> do Relatório "
                               "<documentname> em <printername>")},
        {43029, QStringLiteral("Página Anterior")},
        {43030, QStringLiteral("Página Inteira")},
        {43031, QStringLiteral("Largura da Página")},
        {43032, QStringLiteral("Nenhuma página informada.")},
        {43033, QStringLiteral("Por favor especifique o arquivo antes de continuar.")},
        {44010, QStringLiteral("&Nome")},
        {44011, QStringLiteral("Tipo")},
        {44012, QStringLiteral("Onde")},
        {44013, QStringLiteral("&Propriedades")},
        {44014, QStringLiteral("Número de &cópias")},
        {44015, QStringLiteral("&Agrupar")},
        {44016, QStringLiteral("Imp&rimir")},
        {44017, QStringLiteral("Todas as páginas na faixa")},
        {44018, QStringLiteral("Páginas Impares")},
        {44019, QStringLiteral("Páginas Pares")},
        {44021, QStringLiteral("Procurar")},
        {44034, QStringLiteral("Nenhum Dado Encontrado")},
        {44035, QStringLiteral("Não há dados para este relatório.")},
        {44054, QStringLiteral("Show the Find Text Toolbar")},
        {44055, QStringLiteral("Hide the Find Text Toolbar")},
        {44073, QStringLiteral("Print in Background")},
    };
    return t;
}

} // namespace

QString texto(int numero) {
    const auto i = tabela().constFind(numero);
    if (i == tabela().constEnd())
        throw Erro(QStringLiteral("O texto %1 não existe na tabela do relatório.").arg(numero));
    return *i;
}

QString texto(TextoDoRelatorio numero) {
    return texto(static_cast<int>(numero));
}

QString texto(TextoDoRelatorio numero, const MarcadoresDeTexto& m) {
    QString t = texto(numero);
    t.replace(QLatin1String("<page>"), QString::number(m.pagina));
    t.replace(QLatin1String("<pagecount>"), QString::number(m.totalDePaginas));
    t.replace(QLatin1String("<documentname>"), m.documento);
    t.replace(QLatin1String("<printername>"), m.impressora);
    return t;
}

} // namespace nq
