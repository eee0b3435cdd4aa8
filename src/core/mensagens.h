#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <memory>
#include <vector>

namespace nq {

enum class Icone { Nenhum, Informacao, Exclamacao, Erro, Pergunta };

// The answers of a question that can also be called off.
enum class Resposta { Sim, Nao, Cancelar };

// Every message box and question of the program goes through this one
// interface: the windows show boxes, tests and batch runs answer from a script
// and keep a record of what was shown.
class Mensagens {
public:
    virtual ~Mensagens() = default;
    virtual void mostra(const QString& texto, const QString& titulo = {},
                        Icone icone = Icone::Nenhum) = 0;
    // A yes/no question; true for "Sim".
    virtual bool pergunta(const QString& texto, const QString& titulo = {},
                          Icone icone = Icone::Pergunta) = 0;
    // A question with "Sim", "Não" and "Cancelar"; cancelling leaves things as they were.
    // Where nobody can cancel, it is asked as a yes/no question.
    virtual Resposta perguntaOuCancela(const QString& texto, const QString& titulo = {},
                                       Icone icone = Icone::Pergunta) {
        return pergunta(texto, titulo, icone) ? Resposta::Sim : Resposta::Nao;
    }
};

// The interface in force; until one is installed, a scripted one that answers "não".
Mensagens& mensagens();
// Installs `m` (the caller keeps it alive) and returns the one it replaces.
Mensagens* instalaMensagens(Mensagens* m);

struct MensagemMostrada {
    QString texto;
    QString titulo;
    Icone icone = Icone::Nenhum;
    bool foiPergunta = false;
    bool resposta = false;
    Resposta escolha = Resposta::Nao; // a question: what was answered
};

// Answers questions from a queue (then with the default answer) and records
// everything it was asked to show.
class MensagensRoteirizadas : public Mensagens {
public:
    explicit MensagensRoteirizadas(bool respostaPadrao = false) : padrao_(respostaPadrao) {}

    void mostra(const QString& texto, const QString& titulo, Icone icone) override;
    bool pergunta(const QString& texto, const QString& titulo, Icone icone) override;
    // Answered like pergunta; a queued Cancelar answers this question only.
    Resposta perguntaOuCancela(const QString& texto, const QString& titulo, Icone icone) override;

    void enfileiraResposta(bool sim) { respostas_.push_back(sim ? Resposta::Sim : Resposta::Nao); }
    void enfileiraResposta(Resposta r) { respostas_.push_back(r); }
    void defineRespostaPadrao(bool sim) { padrao_ = sim; }
    // Echo each message to standard error as it comes (batch runs).
    void defineEco(bool eco) { eco_ = eco; }

    const std::vector<MensagemMostrada>& registro() const { return registro_; }
    QStringList textos() const;
    void limpa() { registro_.clear(); }

private:
    Resposta proximaResposta();

    std::deque<Resposta> respostas_;
    std::vector<MensagemMostrada> registro_;
    bool padrao_;
    bool eco_ = false;
};

// Installs a scripted interface for the life of a scope (tests).
class MensagensDeTeste {
public:
    explicit MensagensDeTeste(bool respostaPadrao = false);
    ~MensagensDeTeste();
    MensagensDeTeste(const MensagensDeTeste&) = delete;
    MensagensDeTeste& operator=(const MensagensDeTeste&) = delete;
    MensagensRoteirizadas* operator->() { return &roteiro_; }
    MensagensRoteirizadas& operator*() { return roteiro_; }

private:
    MensagensRoteirizadas roteiro_;
    Mensagens* anterior_;
};

} // namespace nq
