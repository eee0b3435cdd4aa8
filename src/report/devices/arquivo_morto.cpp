#include "report/devices/arquivo_morto.h"

#include "core/erro.h"

#include <QFile>

namespace nq {

namespace {

const QByteArray Assinatura = QByteArrayLiteral("NQ404RAF");
// 2: fonts carry their condensation. Files of version 1 are still read.
constexpr quint16 Versao = 2;
constexpr quint8 MarcaDePagina = 1;
constexpr quint8 MarcaDeFim = 0;

// Writing and reading walk the same field lists, so the two cannot drift apart.
struct Gravador {
    QDataStream& s;
    quint16 versao = Versao;
    template <class T> void operator()(const T& v) { s << v; }
    template <class E> void enumerado(const E& e, int) { s << static_cast<qint32>(e); }
    template <class V, class F> void lista(const V& v, F&& campo) {
        s << static_cast<quint32>(v.size());
        for (const auto& item : v)
            campo(item);
    }
};

struct Leitor {
    QDataStream& s;
    quint16 versao = Versao;
    template <class T> void operator()(T& v) { s >> v; }
    template <class E> void enumerado(E& e, int ultimo) {
        qint32 v = 0;
        s >> v;
        if (v < 0 || v > ultimo)
            s.setStatus(QDataStream::ReadCorruptData);
        e = static_cast<E>(v);
    }
    template <class V, class F> void lista(V& v, F&& campo) {
        quint32 n = 0;
        s >> n;
        v.clear();
        for (quint32 i = 0; i < n && s.status() == QDataStream::Ok; ++i)
            campo(v.emplace_back());
    }
};

template <class Io, class R> void campos(Io& io, R& r) {
    io(r.esquerda);
    io(r.topo);
    io(r.largura);
    io(r.altura);
}

template <class Io, class F> void camposFonte(Io& io, F& f) {
    io(f.nome);
    io(f.tamanho);
    io(f.negrito);
    io(f.italico);
    io(f.sublinhado);
    io(f.riscado);
    io(f.cor);
    if (io.versao >= 2)
        io(f.condensacao);
}

template <class Io, class C> void camposCaneta(Io& io, C& c) {
    io(c.cor);
    io(c.espessura);
    io.enumerado(c.estilo, static_cast<int>(EstiloCaneta::Nenhum));
}

template <class Io, class T> void camposComando(Io& io, T& c) {
    using Tipo = std::remove_const_t<T>;
    if constexpr (std::is_same_v<Tipo, ComandoTexto>) {
        campos(io, c.caixa);
        camposFonte(io, c.fonte);
        io.enumerado(c.alinhamento, static_cast<int>(Alinhamento::Justificado));
        io(c.transparente);
        io(c.fundo);
        io(c.registro);
        io.lista(c.trechos, [&](auto& t) {
            io(t.x);
            io(t.linhaDeBase);
            io(t.texto);
        });
    } else if constexpr (std::is_same_v<Tipo, ComandoLinha>) {
        io(c.x1);
        io(c.y1);
        io(c.x2);
        io(c.y2);
        camposCaneta(io, c.caneta);
    } else if constexpr (std::is_same_v<Tipo, ComandoForma>) {
        campos(io, c.caixa);
        io.enumerado(c.tipo, static_cast<int>(TipoDeForma::Elipse));
        camposCaneta(io, c.caneta);
        io(c.preenchida);
        io(c.preenchimento);
        io(c.raio);
    } else {
        campos(io, c.caixa);
        io(c.imagem);
        io(c.esticada);
        io(c.manterProporcao);
        io(c.centralizada);
    }
}

template <class Io, class P> void camposPagina(Io& io, P& p) {
    io(p.papel.nome);
    io(p.papel.codigo);
    io(p.papel.largura);
    io(p.papel.altura);
    io.enumerado(p.papel.orientacao, static_cast<int>(Orientacao::Paisagem));
    io(p.papel.margemSuperior);
    io(p.papel.margemInferior);
    io(p.papel.margemEsquerda);
    io(p.papel.margemDireita);
    io(p.numero);
    io(p.numeroRelativo);
    io(p.primeira);
    io(p.ultima);
}

template <class Io, class T> void camposTrabalho(Io& io, T& t) {
    io(t.nomeDocumento);
    io(t.impressora);
    io(t.bandeja);
    io(t.copias);
    io(t.agrupar);
    io(t.tipoDispositivo);
    io(t.permiteImprimirParaArquivo);
    io(t.permiteImprimirParaArquivoMorto);
}

void gravaComando(Gravador& g, const ComandoDeDesenho& comando) {
    g(static_cast<quint8>(comando.index()));
    std::visit([&](const auto& c) { camposComando(g, c); }, comando);
}

template <std::size_t I = 0> void leComando(Leitor& l, quint8 tipo, ComandoDeDesenho& comando) {
    if constexpr (I < std::variant_size_v<ComandoDeDesenho>) {
        if (tipo == I) {
            camposComando(l, comando.emplace<I>());
            return;
        }
        leComando<I + 1>(l, tipo, comando);
    } else {
        l.s.setStatus(QDataStream::ReadCorruptData);
    }
}

Erro arquivoInvalido(const QString& arquivo) {
    return Erro(QStringLiteral("O arquivo \"%1\" não é um relatório arquivado ou está danificado.")
                    .arg(arquivo));
}

} // namespace

void DispositivoArquivoMorto::iniciaTrabalho(const TrabalhoDeImpressao& trabalho) {
    dados_.clear();
    fluxo_ = std::make_unique<QDataStream>(&dados_, QIODevice::WriteOnly);
    fluxo_->setVersion(QDataStream::Qt_6_0);
    fluxo_->writeRawData(Assinatura.constData(), Assinatura.size());
    Gravador g{*fluxo_};
    g(Versao);
    camposTrabalho(g, trabalho);
}

void DispositivoArquivoMorto::recebePagina(const Pagina& pagina) {
    Gravador g{*fluxo_};
    g(MarcaDePagina);
    camposPagina(g, pagina);
    g.lista(pagina.comandos, [&](const ComandoDeDesenho& c) { gravaComando(g, c); });
}

void DispositivoArquivoMorto::terminaTrabalho() {
    *fluxo_ << MarcaDeFim;
    fluxo_.reset();
    gravaArquivo(arquivo(), dados_);
    dados_.clear();
}

Documento leArquivoMorto(const QString& arquivo) {
    QFile f(arquivo);
    if (!f.open(QIODevice::ReadOnly))
        throw Erro(QStringLiteral("Não foi possível abrir o arquivo \"%1\": %2")
                       .arg(arquivo, f.errorString()));
    QDataStream s(&f);
    s.setVersion(QDataStream::Qt_6_0);
    QByteArray assinatura(Assinatura.size(), '\0');
    quint16 versao = 0;
    if (s.readRawData(assinatura.data(), assinatura.size()) != assinatura.size() ||
        assinatura != Assinatura)
        throw arquivoInvalido(arquivo);
    s >> versao;
    if (versao < 1 || versao > Versao)
        throw Erro(QStringLiteral("O relatório arquivado \"%1\" é de uma versão (%2) que este "
                                  "programa não lê.")
                       .arg(arquivo)
                       .arg(versao));
    Documento d;
    Leitor l{s, versao};
    camposTrabalho(l, d.trabalho);
    d.nomeRelatorio = d.trabalho.nomeDocumento;
    quint8 marca = MarcaDeFim;
    while (s.status() == QDataStream::Ok) {
        s >> marca;
        if (s.status() != QDataStream::Ok || marca != MarcaDePagina)
            break;
        Pagina& p = d.paginas.emplace_back();
        camposPagina(l, p);
        l.lista(p.comandos, [&](ComandoDeDesenho& c) {
            quint8 tipo = 0;
            s >> tipo;
            leComando(l, tipo, c);
        });
    }
    if (s.status() != QDataStream::Ok || marca != MarcaDeFim)
        throw arquivoInvalido(arquivo);
    return d;
}

} // namespace nq
