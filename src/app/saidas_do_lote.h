#pragma once

#include <QString>
#include <memory>
#include <vector>

namespace nq {

class ArquivoPendente;
class Tdm;

// A file a run without windows reads or writes, with what names it in
// messages: the option ("--pdf") or the file's role ("o banco de dados do ano").
struct ArquivoDoLote {
    QString papel;
    QString caminho;
};

// Refuses, with nq::Erro, before anything runs, an output that:
//  - is the same file (links resolved, hard links too) as an input, or as
//    another output;
//  - lies in the data directory `diretorioDados` under one of the program's
//    own names (beginning with "NQ404_", in any letter case), which a run may
//    create, copy or remove;
//  - exists and is not a regular file (a folder, a FIFO, a device), or is a
//    link to nothing;
//  - cannot be created in its folder.
// Inputs that do not exist are skipped; an empty output is no output.
void verificaSaidas(const std::vector<ArquivoDoLote>& entradas,
                    const std::vector<ArquivoDoLote>& saidas, const QString& diretorioDados = {});

// What every run reads or writes besides the options' files: the program,
// Vexo.ini, corfoco.ini and, given the data module whose start-up opened them,
// the year's and the previous year's databases and every file in the data
// directory.
std::vector<ArquivoDoLote> arquivosDoPrograma(const Tdm* dados = nullptr);

// The outputs of a run, written under provisional names beside their final
// ones and put in place together once the whole run has succeeded. A failed or
// interrupted run leaves none of them: whatever was written is removed, and
// files that already had those names stay as they were.
class SaidasProvisorias {
public:
    SaidasProvisorias();
    ~SaidasProvisorias();
    SaidasProvisorias(const SaidasProvisorias&) = delete;
    SaidasProvisorias& operator=(const SaidasProvisorias&) = delete;

    // The name to write `final` under (empty stays empty).
    QString reserva(const QString& final);
    // Whether the run wrote `final` under its provisional name.
    bool escrita(const QString& final) const;
    // `texto` with every provisional name replaced by its final one, for messages.
    QString semNomesProvisorios(QString texto) const;
    // Puts every written output in its place. Throws nq::Erro naming the output
    // that failed; the others are then removed as by a failed run.
    void confirma();

private:
    struct Saida {
        QString final;
        QString provisorio;
        std::unique_ptr<ArquivoPendente> pendente;
    };
    std::vector<Saida> saidas_;
};

} // namespace nq
