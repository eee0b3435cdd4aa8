#include "execucao_do_lote.h"

#include "annexes/common/estrada_anexo.h"
#include "annexes/common/figuras_csv.h"
#include "annexes/gestao_fiscal/gestao_fiscal.h"
#include "aplicacao.h"
#include "core/erro.h"
#include "imprime.h"
#include "saidas_do_lote.h"

#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <cstdio>
#include <optional>

namespace nq {

namespace {

// A control of an annex window by its name.
template <class T> T& controle(QDialog& janela, const char* nome) {
    T* c = janela.findChild<T*>(QString::fromLatin1(nome));
    if (!c)
        throw Erro(QStringLiteral("A janela %1 não tem o controle %2.")
                       .arg(janela.objectName(), QString::fromLatin1(nome)));
    return *c;
}

// The modal annex windows, run without being shown: the period chosen in
// their own selectors, then their print button pressed.
void conduzJanela(QDialog& janela, const PeriodoDaJanela& p) {
    if (janela.objectName() == QStringLiteral("Form101")) {
        controle<QRadioButton>(janela, p.quadrimestral ? "RQua" : "RBim").click();
        controle<QComboBox>(janela, p.quadrimestral ? "combomes" : "CBim")
            .setCurrentIndex(p.numero - 1);
    } else if (janela.objectName() == QStringLiteral("ImpAnexo10")) {
        auto& meses = controle<QComboBox>(janela, "combomes");
        const QString mm = QStringLiteral("%1 - ").arg(p.mes, 2, 10, QLatin1Char('0'));
        for (int i = 0; i < meses.count(); ++i)
            if (meses.itemText(i).startsWith(mm))
                meses.setCurrentIndex(i);
    } else {
        throw Erro(QStringLiteral("A janela %1 não roda sem janelas.").arg(janela.objectName()));
    }
    controle<QPushButton>(janela, "BtnImprimir").click();
}

} // namespace

const std::vector<AnexoDoLote>& anexosDoLote() {
    static const std::vector<AnexoDoLote> tabela = {
        {"1", 0, "ImpAnexo1", true},   {"1b", 1, "ImpAnexo1B", true},  {"2", 2, "ImpAnexo2", true},
        {"3", 3, "ImpAnexo3", true},   {"4", 4, "ImpAnexo4", true},    {"5", 5, "ImpAnexo5", true},
        {"6", 6, "ImpAnexo6", true},   {"7", 7, "Form07", true},       {"8", 8, "ImpAnexo8", false},
        {"rgf", 10, "Form101", false}, {"10", 11, "ImpAnexo10", false}};
    return tabela;
}

const AnexoDoLote* anexoDoLote(const QString& opcao) {
    for (const AnexoDoLote& a : anexosDoLote())
        if (a.opcao.compare(opcao, Qt::CaseInsensitive) == 0)
            return &a;
    return nullptr;
}

void escreveErro(const QString& texto) {
    std::fputs((QStringLiteral("nq404: ") + texto + QLatin1Char('\n')).toLocal8Bit().constData(),
               stderr);
}

bool pareceCamara(const QString& nome) {
    const QString inicio = nome.left(3).toLower();
    return inicio == QStringLiteral("cam") || inicio == QStringLiteral("câm");
}

MensagensDoLote::MensagensDoLote(bool resposta, bool exportaPlanilha,
                                 const SaidasProvisorias& saidas)
    : MensagensRoteirizadas(resposta), exportaPlanilha_(exportaPlanilha), saidas_(saidas) {
    defineEco(true);
}

void MensagensDoLote::mostra(const QString& texto, const QString& titulo, Icone icone) {
    MensagensRoteirizadas::mostra(saidas_.semNomesProvisorios(texto), titulo, icone);
    if (icone == Icone::Erro || texto.startsWith(QStringLiteral("O seguinte erro ocorreu!")))
        falhou_ = true;
}

bool MensagensDoLote::pergunta(const QString& texto, const QString& titulo, Icone icone) {
    if (texto == EstradaDoAnexo::textoDaPerguntaPlanilha()) {
        perguntouPlanilha_ = true;
        enfileiraResposta(exportaPlanilha_);
    }
    return MensagensRoteirizadas::pergunta(texto, titulo, icone);
}

void SaidaDoLote::executa(TppReport& relatorio) {
    std::optional<ColetorDeFiguras> coletor;
    if (!csv_.isEmpty())
        coletor.emplace(relatorio);
    SaidaDeRelatorios::executa(relatorio);
    if (coletor)
        gravaFigurasCsv(csv_, coletor->figuras());
}

void SaidaDoLote::apresenta(TppReport& relatorio, const Documento& documento) {
    if (!pdf_.isEmpty())
        SaidaParaArquivo(QStringLiteral("PDFFile"), pdf_).apresenta(relatorio, documento);
    else if (relatorio.OnPreviewFormClose)
        relatorio.OnPreviewFormClose();
}

void executaNoLancador(TFrmImprime& lancador, const AnexoDoLote& anexo, int bimestre,
                       const PeriodoDaJanela& janela) {
    lancador.mostraModal = [janela](QDialog& d) { conduzJanela(d, janela); };
    lancador.combomes->setCurrentIndex(bimestre - 1);
    try {
        lancador.FormShow();
        lancador.ListView1->setCurrentItem(lancador.ListView1->topLevelItem(anexo.linha));
        lancador.ListView1Click();
    } catch (const Erro& e) {
        mostraErro(e.texto());
    } catch (const std::exception& e) {
        mostraErro(QString::fromLocal8Bit(e.what()));
    }
}

SemJanelaDeDigitacao::SemJanelaDeDigitacao()
    : anterior_(instalaAberturaDaDigitacao([] {
          escreveErro(QStringLiteral("a janela de digitação não abre sem janelas; o relatório "
                                     "segue sem a receita digitada."));
      })) {}

SemJanelaDeDigitacao::~SemJanelaDeDigitacao() {
    instalaAberturaDaDigitacao(std::move(anterior_));
}

} // namespace nq
