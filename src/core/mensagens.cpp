#include "mensagens.h"

#include <cstdio>

namespace nq {

namespace {
MensagensRoteirizadas& padrao() {
    static MensagensRoteirizadas m;
    return m;
}
Mensagens* atual = nullptr;
} // namespace

Mensagens& mensagens() {
    return atual ? *atual : padrao();
}

Mensagens* instalaMensagens(Mensagens* m) {
    Mensagens* anterior = atual;
    atual = m;
    return anterior;
}

void MensagensRoteirizadas::mostra(const QString& texto, const QString& titulo, Icone icone) {
    registro_.push_back({texto, titulo, icone, false, false});
    // A box's line break is "\r"; on a terminal it would overwrite the line.
    if (eco_)
        std::fprintf(stderr, "%s\n",
                     qPrintable(QString(texto).replace(QLatin1Char('\r'), QLatin1Char('\n'))));
}

Resposta MensagensRoteirizadas::proximaResposta() {
    if (respostas_.empty())
        return padrao_ ? Resposta::Sim : Resposta::Nao;
    const Resposta r = respostas_.front();
    respostas_.pop_front();
    return r;
}

Resposta MensagensRoteirizadas::perguntaOuCancela(const QString& texto, const QString& titulo,
                                                  Icone icone) {
    const Resposta r = proximaResposta();
    registro_.push_back({texto, titulo, icone, true, r == Resposta::Sim, r});
    if (eco_) {
        const char* nomes[] = {"Sim", "Não", "Cancelar"};
        std::fprintf(stderr, "%s -> %s\n", qPrintable(texto), nomes[static_cast<int>(r)]);
    }
    return r;
}

bool MensagensRoteirizadas::pergunta(const QString& texto, const QString& titulo, Icone icone) {
    const Resposta r = proximaResposta();
    const bool sim = r == Resposta::Sim;
    registro_.push_back({texto, titulo, icone, true, sim, sim ? Resposta::Sim : Resposta::Nao});
    if (eco_)
        std::fprintf(stderr, "%s -> %s\n", qPrintable(texto), sim ? "Sim" : "Não");
    return sim;
}

QStringList MensagensRoteirizadas::textos() const {
    QStringList l;
    for (const auto& m : registro_)
        l << m.texto;
    return l;
}

MensagensDeTeste::MensagensDeTeste(bool respostaPadrao)
    : roteiro_(respostaPadrao), anterior_(instalaMensagens(&roteiro_)) {}

MensagensDeTeste::~MensagensDeTeste() {
    instalaMensagens(anterior_);
}

} // namespace nq
