#include "entry/preparacoes.h"

#include "entry/consultas.h"
#include "entry/preparacao.h"
#include "entry/strzero.h"
#include "tables/clientdataset.h"

namespace nq {

namespace {

const QString Nome = QStringLiteral("NOME");
const QString Titulo = QStringLiteral("TITULO");
const QString Id = QStringLiteral("ID");
const QString Filtro = QStringLiteral("FILTRO");

LinhaSemeada linhaDeValor(const QString& colunaChave, const QString& chave, const QString& nome,
                          const QString& id) {
    return LinhaSemeada({{colunaChave, chave},
                         {Nome, nome},
                         {Titulo, QStringLiteral("VA")},
                         {Id, id},
                         {Filtro, QString()}});
}

// Annex 1B: one row per entity in database order, numbered after the direct
// administration's "00010".
std::vector<LinhaSemeada> linhasDoAnexo1B(const std::vector<Entidade>& entidades,
                                          const QString& colunaChave) {
    std::vector<LinhaSemeada> r;
    int numero = 0;
    for (const auto& e : entidades) {
        ++numero;
        r.push_back(
            linhaDeValor(colunaChave, StrZero(e.empresa, 2), e.nome, StrZero(10 * numero + 10, 5)));
    }
    return r;
}

// Annexes 6 and 7: the entities under "Orgãos e Entidades", numbered by code.
std::vector<LinhaSemeada> linhasDeOrgaos(ClientDataSet& cdsAux2, const QString& sql) {
    std::vector<LinhaSemeada> r;
    for (const auto& e : leEntidades(cdsAux2, sql))
        r.push_back(linhaDeValor(QStringLiteral("DESPESA"),
                                 QStringLiteral("0202.01.") + StrZero(e.empresa, 2),
                                 QStringLiteral("    ") + e.nome, StrZero(e.empresa + 50, 5)));
    return r;
}

// Annex 2: the functions (two-digit codes, title rows) and function.sub-function
// pairs in use, in database order.
std::vector<LinhaSemeada> linhasDeFuncoes(ClientDataSet& cdsAux2) {
    static const QString sql = QStringLiteral(
        "select a.funcao||'.'||A.SUBFUNCAO as Funcao,f.nome from desdis a left join "
        "tabsubfuncao f on f.subfuncao=a.subfuncao where not a.funcao is null and not "
        "a.funcao like '9%'UNION select CAST(a.funcao AS VARCHAR(6)),s.nome from desdis a "
        "left join tabfuncao s on s.funcao=a.funcao where not a.funcao is null and not "
        "a.funcao like '9%'");
    std::vector<LinhaSemeada> r;
    percorreConsulta(cdsAux2, sql, [&r](ClientDataSet& cds, int numero) {
        const QString codigo = cds.fieldByName(QStringLiteral("FUNCAO")).asString();
        r.push_back(LinhaSemeada(
            {{QStringLiteral("SUBFUNCAO"), codigo},
             {QStringLiteral("FUNCAO"), codigo.left(2)},
             {Nome, cds.fieldByName(Nome).asString()},
             {Titulo, codigo.size() == 2 ? QStringLiteral("TI") : QStringLiteral("VA")},
             {Id, StrZero(10 * numero, 5)},
             {Filtro, QString()}}));
    });
    return r;
}

// Annex 8: the exercise and the 34 years after it.
std::vector<LinhaSemeada> anosDoAnexo8(int exercicio) {
    std::vector<LinhaSemeada> r;
    for (int k = 0; k < 35; ++k)
        r.push_back(LinhaSemeada({{QStringLiteral("ANO"), static_cast<int32_t>(exercicio + k)}}));
    return r;
}

} // namespace

void PreparaAnexo1(const QString& diretorio) {
    preparaArquivos(diretorio, {{ArquivoDigitado::Anexo1Receita, {}, {}, {}},
                                {ArquivoDigitado::Anexo1Despesa, {}, {}, {}}});
}

void PreparaAnexo1B(const QString& diretorio, ClientDataSet& cdsAux2) {
    const auto entidades =
        leEntidades(cdsAux2, QStringLiteral("SELECT EMPRESA, NOME FROM TABEMPRESA"));
    preparaArquivos(
        diretorio,
        {{ArquivoDigitado::Anexo1BReceita, {}, {}, linhasDoAnexo1B(entidades, "RECEITA")},
         {ArquivoDigitado::Anexo1BDespesa, {}, {}, linhasDoAnexo1B(entidades, "DESPESA")}});
}

void PreparaAnexo2(const QString& diretorio, ClientDataSet& cdsAux2) {
    preparaArquivos(diretorio, {{ArquivoDigitado::Anexo2, {}, {}, linhasDeFuncoes(cdsAux2)}});
}

void PreparaAnexo3(const QString& diretorio, const QString& ano) {
    preparaArquivos(diretorio, {{ArquivoDigitado::Anexo3, ano, {}, {}}});
}

void PreparaAnexo4(const QString& diretorio, ClientDataSet& qrCliente) {
    const int exercicio = leExercicio(qrCliente);
    preparaArquivos(diretorio, {{ArquivoDigitado::Anexo4Receita, {}, exercicio, {}},
                                {ArquivoDigitado::Anexo4ReceitaFin, {}, {}, {}},
                                {ArquivoDigitado::Anexo4Despesa, {}, {}, {}},
                                {ArquivoDigitado::Anexo4DespesaFin, {}, {}, {}}});
}

void PreparaAnexo5(const QString& diretorio, const QString& ano) {
    const int y = anoDoArquivo(ano);
    preparaArquivos(diretorio, {{ArquivoDigitado::Anexo5Receita, ano, y, {}},
                                {ArquivoDigitado::Anexo5Despesa, ano, y, {}},
                                {ArquivoDigitado::Anexo5Especificacao, ano, y, {}}});
}

void PreparaAnexo6(const QString& diretorio, ClientDataSet& cdsAux2) {
    preparaArquivos(
        diretorio,
        {{ArquivoDigitado::Anexo6,
          {},
          {},
          linhasDeOrgaos(
              cdsAux2, QStringLiteral("select empresa, nome from tabempresa order by empresa"))}});
}

void PreparaAnexo7(const QString& diretorio, ClientDataSet& cdsAux2) {
    preparaArquivos(
        diretorio,
        {{ArquivoDigitado::Anexo7,
          {},
          {},
          linhasDeOrgaos(cdsAux2,
                         QStringLiteral("SELECT EMPRESA,NOME FROM TABEMPRESA ORDER BY EMPRESA"))}});
}

void PreparaJustificativas(const QString& diretorio) {
    preparaArquivos(diretorio, {{ArquivoDigitado::Justificativas, {}, {}, {}}});
}

void PreparaAnexo8(const QString& diretorio, ClientDataSet& qrCliente) {
    preparaArquivos(diretorio,
                    {{ArquivoDigitado::Anexo8, {}, {}, anosDoAnexo8(leExercicio(qrCliente))}});
}

void PreparaAnexo10(const QString& diretorio) {
    preparaArquivos(diretorio, {{ArquivoDigitado::Anexo10, {}, {}, {}}});
}

void PreparaGestaoFiscal(const QString& diretorio) {
    preparaArquivos(diretorio, {{ArquivoDigitado::GestaoFiscal, {}, {}, {}}});
}

void PreparaGestaoFiscalDigitada(const QString& diretorio) {
    preparaArquivos(diretorio, {{ArquivoDigitado::GestaoFiscalDigitada, {}, {}, {}}});
}

} // namespace nq
