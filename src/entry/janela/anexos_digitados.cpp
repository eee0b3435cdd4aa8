#include "entry/janela/anexos_digitados.h"

#include "core/erro.h"
#include "core/globais.h"
#include "db/modulodados.h"
#include "entry/catalogo.h"
#include "entry/preparacoes.h"

#include <vector>

namespace nq {

namespace {

const QString Receita = QStringLiteral("RECEITA");
const QString Despesa = QStringLiteral("DESPESA");

QStringList meses() {
    return {QStringLiteral("JANEIRO"), QStringLiteral("FEVEREIRO"), QStringLiteral("MARÇO"),
            QStringLiteral("ABRIL"),   QStringLiteral("MAIO"),      QStringLiteral("JUNHO"),
            QStringLiteral("JULHO"),   QStringLiteral("AGOSTO"),    QStringLiteral("SETEMBRO"),
            QStringLiteral("OUTUBRO"), QStringLiteral("NOVEMBRO"),  QStringLiteral("DEZEMBRO")};
}

const std::vector<AnexoDigitado>& anexos() {
    static const std::vector<AnexoDigitado> lista = {
        {QStringLiteral("1"), false, {Receita, Despesa}, false, 0, {}},
        {QStringLiteral("1-b"), false, {Receita, Despesa}, false, 0, {}},
        {QStringLiteral("2"), false, {}, false, 0, {}},
        {QStringLiteral("3"), false, {}, true, 0, {}},
        {QStringLiteral("4"),
         false,
         {Receita, Despesa, QStringLiteral("RECEITA FINANC"), QStringLiteral("DESPESA FINANC")},
         false,
         0,
         {}},
        {QStringLiteral("5"),
         true,
         {Receita, Despesa, QStringLiteral("ESPECIFICACAO")},
         false,
         0,
         {}},
        {QStringLiteral("6"), false, {}, false, 0, {}},
        {QStringLiteral("7"), false, {}, false, 0, {}},
        {QStringLiteral("8"), false, {}, false, 1, {}},
        {QStringLiteral("10"),
         false,
         {},
         false,
         1,
         {QStringLiteral("ANO ANTERIOR"), QStringLiteral("% LIMITE ANO ANTERIOR"),
          QStringLiteral("ATÉ 1º QUADRIMESTRE"), QStringLiteral("ATÉ 2º QUADRIMESTRE"),
          QStringLiteral("ATÉ 3º QUADRIMESTRE")}},
        {QStringLiteral("10-b"), true, {}, false, 2, meses()},
    };
    return lista;
}

ClientDataSet& exige(ClientDataSet* cds, const char* nome) {
    if (!cds)
        throw Erro(
            QStringLiteral("A digitação não tem o conjunto de dados %1.").arg(QLatin1String(nome)));
    return *cds;
}

// The file of a type choice among `opcoes` (type text, file).
QString porTipo(const QString& dir, const QString& tipo, const QString& ano,
                std::initializer_list<std::pair<QString, ArquivoDigitado>> opcoes) {
    for (const auto& [texto, arquivo] : opcoes)
        if (tipo == texto)
            return caminhoArquivo(dir, arquivo, ano);
    throw Erro(QStringLiteral("Tipo desconhecido: \"%1\".").arg(tipo));
}

} // namespace

FontesDaDigitacao fontesDoPrograma() {
    return {diretorioDados(), &dm().cdsAux2, &dm().qrCliente};
}

const AnexoDigitado& anexoDigitado(const QString& codigo) {
    for (const auto& a : anexos())
        if (a.codigo == codigo)
            return a;
    throw Erro(QStringLiteral("Anexo desconhecido: \"%1\".").arg(codigo));
}

QStringList itensDosAnexos(const QString& relato) {
    if (relato.startsWith(u'1'))
        return {QStringLiteral("1    Relatório Resumido da Execução Orçamentária"),
                QStringLiteral("1-b  Relatório Resumido da Execução Orçamentária - PODERES/ORGÃOS"),
                QStringLiteral("2    Relatório Resumido da Execução Orçamentária - "
                               "FUNÇÕES/PROGRAMAS"),
                QStringLiteral("3    Receita Corrente Líquida"),
                QStringLiteral("4    Receitas e Despesas Previdenciárias"),
                QStringLiteral("5    Resultado Nominal e Primário"),
                QStringLiteral("6    Demonst. Restos a Pagar"),
                QStringLiteral("7    Demonst. Receitas de Operações de Crédito e Despesa de "
                               "Capital"),
                QStringLiteral("8    Demonst. Projeção Atuarial do Regime de Previdência própria")};
    return {QStringLiteral("10    Gestão Fiscal"),
            QStringLiteral("10-b  Demonst. Despesa com Pessoal e Previdênciaria")};
}

int anoDoDiretorio(const QString& diretorio) {
    QString d = diretorio;
    while (d.endsWith(u'/') || d.endsWith(u'\\'))
        d.chop(1);
    bool ok = false;
    const int ano = d.right(4).toInt(&ok);
    if (!ok || d.size() < 4 || ano < 1000)
        throw Erro(QStringLiteral("O diretório de dados \"%1\" não termina com o ano do exercício.")
                       .arg(diretorio));
    return ano;
}

QString preparaArquivo(const AnexoDigitado& anexo, const QString& tipo, const QString& ano,
                       const FontesDaDigitacao& fontes) {
    const QString& dir = fontes.diretorio;
    const QString& c = anexo.codigo;
    if (c == QLatin1String("1")) {
        PreparaAnexo1(dir);
        return caminhoArquivo(dir, tipo == Receita ? ArquivoDigitado::Anexo1Receita
                                                   : ArquivoDigitado::Anexo1Despesa);
    }
    if (c == QLatin1String("1-b")) {
        PreparaAnexo1B(dir, exige(fontes.cdsAux2, "cdsAux2"));
        return caminhoArquivo(dir, tipo == Receita ? ArquivoDigitado::Anexo1BReceita
                                                   : ArquivoDigitado::Anexo1BDespesa);
    }
    if (c == QLatin1String("2")) {
        PreparaAnexo2(dir, exige(fontes.cdsAux2, "cdsAux2"));
        return caminhoArquivo(dir, ArquivoDigitado::Anexo2);
    }
    if (c == QLatin1String("3")) {
        PreparaAnexo3(dir, tipo);
        return caminhoArquivo(dir, ArquivoDigitado::Anexo3, tipo);
    }
    if (c == QLatin1String("4")) {
        PreparaAnexo4(dir, exige(fontes.qrCliente, "qrCliente"));
        return porTipo(dir, tipo, {},
                       {{Receita, ArquivoDigitado::Anexo4Receita},
                        {Despesa, ArquivoDigitado::Anexo4Despesa},
                        {QStringLiteral("RECEITA FINANC"), ArquivoDigitado::Anexo4ReceitaFin},
                        {QStringLiteral("DESPESA FINANC"), ArquivoDigitado::Anexo4DespesaFin}});
    }
    if (c == QLatin1String("5")) {
        PreparaAnexo5(dir, ano);
        return porTipo(dir, tipo, ano,
                       {{Receita, ArquivoDigitado::Anexo5Receita},
                        {Despesa, ArquivoDigitado::Anexo5Despesa},
                        {QStringLiteral("ESPECIFICACAO"), ArquivoDigitado::Anexo5Especificacao}});
    }
    if (c == QLatin1String("6")) {
        PreparaAnexo6(dir, exige(fontes.cdsAux2, "cdsAux2"));
        return caminhoArquivo(dir, ArquivoDigitado::Anexo6);
    }
    if (c == QLatin1String("7")) {
        PreparaAnexo7(dir, exige(fontes.cdsAux2, "cdsAux2"));
        return caminhoArquivo(dir, ArquivoDigitado::Anexo7);
    }
    if (c == QLatin1String("8")) {
        PreparaAnexo8(dir, exige(fontes.qrCliente, "qrCliente"));
        return caminhoArquivo(dir, ArquivoDigitado::Anexo8);
    }
    if (c == QLatin1String("10-b")) {
        PreparaAnexo10(dir);
        return caminhoArquivo(dir, ArquivoDigitado::Anexo10);
    }
    PreparaGestaoFiscalDigitada(dir);
    return caminhoArquivo(dir, ArquivoDigitado::GestaoFiscalDigitada);
}

} // namespace nq
