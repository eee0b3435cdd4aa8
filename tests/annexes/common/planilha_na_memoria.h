#pragma once

#include "workbook/planilha.h"

#include <QString>
#include <QStringList>
#include <map>
#include <memory>

// A workbook in memory: the cells written, and what became of it.
struct Pasta {
    std::map<QString, std::map<QString, nq::ValorCelula>> folhas;
    QString aberta;
    bool mostrada = false;
    bool fechada = false;
    double numero(const QString& folha, const QString& celula) {
        return folhas[folha][celula].numero;
    }
};

class PlanilhaNaMemoria : public nq::Planilha {
public:
    explicit PlanilhaNaMemoria(Pasta& p) : p_(p) {}
    void abre(const QString& caminho) override { p_.aberta = caminho; }
    void criaNova(const QStringList&) override {}
    void selecionaFolha(const QString& nome) override { folha_ = nome; }
    nq::ValorCelula le(const QString& endereco) override { return p_.folhas[folha_][endereco]; }
    void escreveNumero(const QString& endereco, double valor) override {
        p_.folhas[folha_][endereco] = nq::ValorCelula::deNumero(valor);
    }
    void escreveTexto(const QString& endereco, const QString& texto) override {
        p_.folhas[folha_][endereco] =
            texto.isEmpty() ? nq::ValorCelula::vazio() : nq::ValorCelula::deTexto(texto);
    }
    void salvaComo(const QString&) override {}
    void mostra() override { p_.mostrada = true; }
    void fecha() override { p_.fechada = true; }

private:
    Pasta& p_;
    QString folha_;
};

// The cells a workbook export wrote, by sheet and address: numbers only.
using Celulas = std::map<QString, std::map<QString, double>>;

class PlanilhaDeNumeros : public nq::Planilha {
public:
    explicit PlanilhaDeNumeros(Celulas& c) : celulas_(c) {}
    void abre(const QString&) override {}
    void criaNova(const QStringList&) override {}
    void selecionaFolha(const QString& nome) override { folha_ = nome; }
    nq::ValorCelula le(const QString&) override { return {}; }
    void escreveNumero(const QString& endereco, double valor) override {
        celulas_[folha_][endereco] = valor;
    }
    void escreveTexto(const QString&, const QString&) override {}
    void salvaComo(const QString&) override {}
    void mostra() override {}
    void fecha() override {}

private:
    Celulas& celulas_;
    QString folha_;
};

inline std::unique_ptr<nq::Planilha> planilhaEmMemoria(Celulas& celulas) {
    return std::make_unique<PlanilhaDeNumeros>(celulas);
}
