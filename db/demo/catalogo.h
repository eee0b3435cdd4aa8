#pragma once

// The fixed catalogue of the demo municipality: entities, resource
// linkages, cash accounts, and the revenue and expenditure items with their
// share of the budget.
//
// What the reports select, and therefore what the catalogue must cover so
// that every report line has figures:
// - revenue prefixes 1, 11 (111 outside the four named taxes), 1112.02,
//   1112.04, 1112.08, 1113.05, 112, 113, 12, 1210.29.01/.07/.09/.11/.12,
//   1210.29 others, 1210.46, 13, 1325, 14, 15, 16, 17, 171 (TIPO "TI"), 1724
//   (TIPO "FU"), 19, 2, 21 (TIPO "RD" and not), 22, 23, 24, 25, deductions
//   95 and 97 (negative amounts);
// - revenue TIPO "RD", "PR", "CS", "CP", "CI", "CF", "FU", "TI", "RP", "OD",
//   "PV" and null; RECDIS.BALCO 3236 (employer contributions); extra-budgetary
//   items (EXTRA "S") with TIPO "PR";
// - expenditure CATEC 3, 3.1 (elements 01, 03, 05, 09, 11, 13, 16, 34, 91,
//   94 in modality 90 and 13 in modality 91), 3.2, 3.3 (3.3.90.47 with PASEP
//   in the goods description), 4.4, 4.4.50, 4.4.60, 4.5.50, 4.5.__.64,
//   4.5.__.66, 4.6 (item TIPO "RD" and not), 9.9; DESDIS.TIPO "PR" for the
//   own pension regime; functions and sub-functions with names;
// - commitment TIPO "DJ", "ID", "DV", "IC", "IF", "RD", "FM", "FO", "EF",
//   "EI", "ED"; reserve commitments (TPEM "RD") and commitments that draw on
//   them (PKEMPA); annulments; liquidations and payments by month;
// - DESALD with IE 1, 2, 3 (positive) and 4 (cuts);
// - DESDIS.BALCO 3211 (carried-over commitments, processed and not) and 3236
//   (PASEP payments);
// - cash accounts 31110 (also of TIPO "PR"), 3112, 3113, 3114, 3115, 3121,
//   with opening balances dated 1 January;
// - journal (CONDIA) prefixes 313, 3211, 3241, 341, 3421, 3422, 3822, 3833,
//   3841 and 8888, opening entries with IE 1, 2, 3;
// - TABEMPRESA kinds 1, 2 (chamber), 3, 5, 6 in both administrations;
//   TABPODER "01" legislative; VINCODIGO class "A" for the indirect entities.

namespace nq::demo::catalogo {

struct ModeloEntidade {
    int empresa;
    const char* nome;
    const char* adm;
    const char* tipo;
};

struct ModeloVinculo {
    int grupo;
    int codigo;
    const char* nome;
    const char* classe; // "" for none
    int empresa;
};

struct ModeloConta {
    int conta;
    const char* nome;
    const char* balco;
    const char* tipo;
    int grupo, vinculo;
    int saldoPorMil; // opening balance, per mille of the budget, when invented
};

struct ModeloReceita {
    const char* codre;
    const char* nome;
    const char* tipo;
    int empresa;
    int grupo, vinculo;
    int peso; // per mille of the budget; negative for deductions
    const char* balco;
    bool extra;
};

struct ModeloDespesa {
    const char* funcao;
    const char* subfuncao;
    const char* catec;
    const char* nome;
    const char* tipo;
    int empresa;
    int grupo, vinculo;
    int peso;        // per mille of the budget
    bool porUnidade; // repeated for every budget unit of the prefecture
};

struct ModeloNome {
    const char* codigo;
    const char* nome;
};

extern const ModeloEntidade entidades[];
extern const int quantidadeEntidades;
extern const ModeloNome poderes[];
extern const int quantidadePoderes;
extern const ModeloNome grupos[];
extern const int quantidadeGrupos;
extern const ModeloVinculo vinculos[];
extern const int quantidadeVinculos;
extern const ModeloConta contas[];
extern const int quantidadeContas;
extern const ModeloReceita receitas[];
extern const int quantidadeReceitas;
extern const ModeloDespesa despesas[];
extern const int quantidadeDespesas;
extern const ModeloNome funcoes[];
extern const int quantidadeFuncoes;
extern const ModeloNome subfuncoes[];
extern const int quantidadeSubfuncoes;
extern const char* const credores[];
extern const int quantidadeCredores;

} // namespace nq::demo::catalogo
