#pragma once

#include <QDate>
#include <QString>
#include <cstdint>
#include <vector>

// The rows of one generated exercise, held in memory. Amounts are whole
// cents; an empty text stands for a null column.

namespace nq::demo {

using Centavos = int64_t;

enum class Tamanho { Teste, Pequeno, Medio, Grande };

struct Cliente {
    QString nome, cidade, uf, cnpj;
    QString prefeito, tituloPrefeito, contador, tituloContador, controle, tituloControle;
};

struct Entidade {
    int empresa;
    QString nome;
    QString adm;  // "D" or "I"
    QString tipo; // "1" prefecture, "2" chamber, "3" company, "5" autarchy, "6" foundation
};

struct Poder {
    QString poder, nome;
};

struct Funcao {
    QString codigo, nome;
};

struct GrupoVinculo {
    int grupo;
    QString nome;
};

struct Vinculo {
    int grupo;
    int codigo;
    QString nome;
    QString classe;
    int empresa;
};

struct FichaReceita {
    int ficha;
    QString codre, nome, tipo;
    bool extra;
    int empresa;
    Centavos totor;
    int grupo, vinculo;
    QString balco;
};

struct Receita {
    int numero;
    int ficha;
    QDate lancamento, recebimento;
    Centavos valor;
};

struct AlteracaoReceita {
    int numero;
    int ficha;
    QDate data;
    Centavos valor;
};

struct FichaDespesa {
    int ficha;
    QString nome;
    Centavos dotacao;
    QString funcao, subfuncao, catec, tipo;
    bool extra;
    QString balco;
    int empresa;
    int grupo, vinculo;
    QString programa, local;
};

struct AlteracaoDespesa {
    int numero;
    int ficha;
    QDate data;
    Centavos valor;
    int ie;
};

struct Empenho {
    int pkemp;
    int pkempa; // 0: none (written as null)
    int nempg;
    int ficha;
    QDate data;
    Centavos valor; // negative: annulment of pkempa
    Centavos pago;
    QString catec, elemento, categoria, tpem, tipo;
    int grupo, vinculo;
    int evGrupo, evCodigo;
    QString credor, historico, documento;
    QDate vencimento;
    QString produto;
    QDate liquidacao; // first liquidation, if any
    QString licitacao, processo, requisicao, numeroLicitacao;
    QString localAnterior, programaAnterior, catecAnterior;
};

struct Liquidacao {
    int numero;
    int pkemp;
    QDate data;
    Centavos valor;
};

struct Pagamento {
    int numero;
    int pkemp;
    QDate data;
    Centavos valor;
    int conta;
};

struct Conta {
    int conta;
    QString nome, balco, tipo;
    Centavos saldoInicial;
    int grupo, vinculo;
};

struct MovimentoCaixa {
    int numero;
    int conta;
    QDate data;
    Centavos credito, debito;
};

struct LancamentoDiario {
    int numero;
    QString balco;
    QDate data;
    Centavos credito, debito;
    int ie;
    QString historico;
};

struct Exercicio {
    int ano = 0;
    Cliente cliente;
    QString reservaVisivel; // PARAMEDU.RD
    std::vector<Entidade> entidades;
    std::vector<Poder> poderes;
    std::vector<Funcao> funcoes, subfuncoes;
    std::vector<GrupoVinculo> grupos;
    std::vector<Vinculo> vinculos;
    std::vector<FichaReceita> fichasReceita;
    std::vector<Receita> receitas;
    std::vector<AlteracaoReceita> alteracoesReceita;
    std::vector<FichaDespesa> fichasDespesa;
    std::vector<AlteracaoDespesa> alteracoesDespesa;
    std::vector<Empenho> empenhos;
    std::vector<Liquidacao> liquidacoes;
    std::vector<Pagamento> pagamentos;
    std::vector<Conta> contas;
    std::vector<MovimentoCaixa> movimentos;
    std::vector<LancamentoDiario> diario;
};

} // namespace nq::demo
