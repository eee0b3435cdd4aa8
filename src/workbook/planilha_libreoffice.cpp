#include "core/erro.h"
#include "core/gravacao_atomica.h"
#include "core/mensagens.h"
#include "workbook/uno.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QUrl>
#include <cmath>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/sheet/CellFlags.hpp>
#include <com/sun/star/sheet/FormulaResult.hpp>
#include <com/sun/star/sheet/XSheetOperation.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <cstdio>
#include <initializer_list>

namespace nq {

using namespace css;

namespace {

beans::PropertyValue propriedade(const char* nome, const css::uno::Any& valor) {
    beans::PropertyValue p;
    p.Name = rtl::OUString::createFromAscii(nome);
    p.Value = valor;
    return p;
}

css::uno::Sequence<beans::PropertyValue>
propriedades(std::initializer_list<beans::PropertyValue> lista) {
    return {lista.begin(), static_cast<sal_Int32>(lista.size())};
}

// Filters of real workbooks. Anything else that the office "opens" (a text file
// through the text import, say) is not a workbook.
bool filtroDePlanilha(const QString& filtro) {
    static const QStringList prefixos{"MS Excel", "Calc MS Excel", "Calc Office Open XML", "calc8",
                                      "StarOffice XML (Calc)"};
    for (const auto& p : prefixos)
        if (filtro.startsWith(p))
            return true;
    return false;
}

QString filtroDe(const css::uno::Reference<frame::XModel>& modelo) {
    for (const auto& arg : modelo->getArgs())
        if (arg.Name == "FilterName") {
            rtl::OUString filtro;
            arg.Value >>= filtro;
            return lo::qt(filtro);
        }
    return {};
}

bool mesmoArquivo(const QString& a, const QString& b) {
    const QFileInfo fa(a), fb(b);
    if (fa.exists() && fb.exists())
        return fa.canonicalFilePath() == fb.canonicalFilePath();
    return fa.absoluteFilePath() == fb.absoluteFilePath();
}

class PlanilhaLibreOffice : public Planilha {
public:
    PlanilhaLibreOffice(std::shared_ptr<lo::CanalUno> canal, const OpcoesLibreOffice& opcoes)
        : canal_(std::move(canal)), opcoes_(opcoes) {}

    ~PlanilhaLibreOffice() override {
        // In the GUI the workbook stays with the user; elsewhere nobody would see it.
        if (opcoes_.modo == ModoPlanilha::Oculto) {
            try {
                fecha();
            } catch (const Erro&) {
            }
        }
    }

    void abre(const QString& caminho) override {
        fecha();
        const QFileInfo info(caminho);
        if (!info.exists())
            throw Erro(QString("O arquivo da planilha não existe: %1.").arg(caminho));
        if (!info.isFile() || !info.isReadable())
            throw Erro(QString("O arquivo da planilha não pode ser lido: %1.").arg(caminho));
        // Not read-only: the office then quietly refuses some edits (clearing a cell).
        const auto documento =
            carrega(QUrl::fromLocalFile(info.absoluteFilePath()).toString(QUrl::FullyEncoded),
                    caminho, emUso(info));
        const auto planilha =
            canal_->chama(QString("Não foi possível abrir a planilha %1").arg(caminho), [&] {
                css::uno::Reference<frame::XModel> modelo(documento, css::uno::UNO_QUERY);
                css::uno::Reference<sheet::XSpreadsheetDocument> planilha(documento,
                                                                          css::uno::UNO_QUERY);
                if (!modelo.is() || !filtroDePlanilha(filtroDe(modelo)))
                    planilha.clear();
                return planilha;
            });
        if (!planilha.is()) {
            fechaDocumento(documento);
            throw Erro(QString("O arquivo %1 não é uma planilha do Excel.").arg(caminho));
        }
        assume(planilha, info.canonicalFilePath());
    }

    void criaNova(const QStringList& folhas) override {
        if (folhas.isEmpty())
            throw Erro("Uma planilha nova precisa de ao menos uma folha.");
        if (QStringList(folhas).removeDuplicates() != 0)
            throw Erro("Os nomes das folhas de uma planilha não podem se repetir.");
        fecha();
        const auto documento = carrega("private:factory/scalc", "nova");
        css::uno::Reference<sheet::XSpreadsheetDocument> planilha;
        try {
            planilha = canal_->chama("Não foi possível criar a planilha", [&] {
                return css::uno::Reference<sheet::XSpreadsheetDocument>(documento,
                                                                        css::uno::UNO_QUERY_THROW);
            });
            canal_->chama("Não foi possível criar as folhas da planilha", [&] {
                const auto colecao = planilha->getSheets();
                const auto padrao = colecao->getElementNames();
                for (int i = 0; i < folhas.size(); ++i) {
                    const auto nome = lo::ou(folhas[i]);
                    if (colecao->hasByName(nome))
                        colecao->moveByName(nome, static_cast<sal_Int16>(i));
                    else
                        colecao->insertNewByName(nome, static_cast<sal_Int16>(i));
                }
                for (const auto& nome : padrao)
                    if (!folhas.contains(lo::qt(nome)))
                        colecao->removeByName(nome);
            });
        } catch (const Erro&) {
            fechaDocumento(documento);
            throw;
        }
        assume(planilha, {});
    }

    void selecionaFolha(const QString& nome) override {
        exigeDocumento();
        canal_->chama(QString("Não foi possível selecionar a folha \"%1\"").arg(nome), [&] {
            const auto colecao = documento_->getSheets();
            if (!colecao->hasByName(lo::ou(nome)))
                throw Erro(QString("A folha \"%1\" não existe na planilha.").arg(nome));
            folha_.set(colecao->getByName(lo::ou(nome)), css::uno::UNO_QUERY_THROW);
            css::uno::Reference<frame::XModel> modelo(documento_, css::uno::UNO_QUERY);
            css::uno::Reference<sheet::XSpreadsheetView> vista(modelo->getCurrentController(),
                                                               css::uno::UNO_QUERY);
            if (vista.is())
                vista->setActiveSheet(folha_);
        });
    }

    ValorCelula le(const QString& endereco) override {
        const auto c = celula(endereco);
        return canal_->chama(QString("Não foi possível ler a célula %1").arg(endereco), [&] {
            switch (c->getType()) {
            case table::CellContentType_EMPTY:
                return ValorCelula::vazio();
            case table::CellContentType_VALUE:
                return ValorCelula::deNumero(c->getValue());
            case table::CellContentType_FORMULA:
                if (resultadoNumerico(c))
                    return ValorCelula::deNumero(c->getValue());
                break;
            default:
                break;
            }
            css::uno::Reference<text::XText> texto(c, css::uno::UNO_QUERY_THROW);
            return ValorCelula::deTexto(lo::qt(texto->getString()));
        });
    }

    void escreveNumero(const QString& endereco, double valor) override {
        if (!std::isfinite(valor))
            throw Erro(QString("Valor inválido para a célula %1.").arg(endereco));
        const auto c = celula(endereco);
        canal_->chama(QString("Não foi possível escrever a célula %1").arg(endereco),
                      [&] { c->setValue(valor); });
    }

    void escreveTexto(const QString& endereco, const QString& texto) override {
        const auto c = celula(endereco);
        canal_->chama(QString("Não foi possível escrever a célula %1").arg(endereco), [&] {
            if (texto.isEmpty()) {
                css::uno::Reference<sheet::XSheetOperation> operacao(c, css::uno::UNO_QUERY_THROW);
                operacao->clearContents(sheet::CellFlags::VALUE | sheet::CellFlags::DATETIME |
                                        sheet::CellFlags::STRING | sheet::CellFlags::FORMULA);
                return;
            }
            // As text, never parsed: a caption such as "=1" or "0123" stays what it is.
            css::uno::Reference<text::XText> t(c, css::uno::UNO_QUERY_THROW);
            t->setString(lo::ou(texto));
        });
    }

    void salvaComo(const QString& caminho) override {
        exigeDocumento();
        if (!origem_.isEmpty() && !opcoes_.gravaSobreOriginal && mesmoArquivo(caminho, origem_))
            throw Erro(QString("A planilha preenchida não pode ser gravada sobre o arquivo "
                               "original: %1.")
                           .arg(caminho));
        const QFileInfo destino(caminho);
        if (!destino.absoluteDir().exists())
            throw Erro(QString("A pasta de destino da planilha não existe: %1.")
                           .arg(destino.absolutePath()));
        QTemporaryFile temporario(destino.absolutePath() + "/.nq404-XXXXXX.xls");
        if (!temporario.open())
            throw Erro(QString("Não foi possível gravar a planilha em %1: %2.")
                           .arg(caminho, temporario.errorString()));
        temporario.close();
        const ArquivoPendente pendente(temporario.fileName());
        temporario.setPermissions(destino.exists() ? destino.permissions()
                                                   : QFile::ReadOwner | QFile::WriteOwner |
                                                         QFile::ReadGroup | QFile::ReadOther);
        // The office writes through a "lu*.tmp" file of its own beside the output;
        // an office that dies while storing leaves it there.
        const QDir pasta = destino.absoluteDir();
        const QStringList doOffice{QStringLiteral("lu*.tmp")};
        const QStringList antes = pasta.entryList(doOffice, QDir::Files | QDir::Hidden);
        try {
            canal_->chama(QString("Não foi possível gravar a planilha em %1").arg(caminho), [&] {
                css::uno::Reference<frame::XStorable> gravavel(documento_,
                                                               css::uno::UNO_QUERY_THROW);
                gravavel->storeToURL(
                    lo::ou(QUrl::fromLocalFile(temporario.fileName()).toString(QUrl::FullyEncoded)),
                    propriedades(
                        {propriedade("FilterName", css::uno::Any(rtl::OUString("MS Excel 97"))),
                         propriedade("Overwrite", css::uno::Any(true))}));
            });
        } catch (...) {
            for (const QString& nome : pasta.entryList(doOffice, QDir::Files | QDir::Hidden))
                if (!antes.contains(nome))
                    QFile::remove(pasta.filePath(nome));
            throw;
        }
        temporario.setAutoRemove(false);
        instalaArquivoPronto(temporario.fileName(), caminho);
    }

    void mostra() override {
        exigeDocumento();
        if (opcoes_.modo == ModoPlanilha::Visivel) {
            exibe();
            return;
        }
        if (!opcoes_.arquivoSaida.isEmpty()) {
            salvaComo(opcoes_.arquivoSaida);
            return;
        }
        if (!opcoes_.copiaAoLadoDaOrigem || origem_.isEmpty())
            throw Erro("Não foi indicado o arquivo em que gravar a planilha preenchida.");
        const QString copia = copiaAoLadoDe(origem_);
        salvaComo(copia);
        mensagens().mostra(QString("A planilha preenchida foi gravada em:\n%1\n\nA planilha "
                                   "original não foi alterada.")
                               .arg(QDir::toNativeSeparators(copia)),
                           "Atenção", Icone::Informacao);
    }

    void fecha() override {
        const auto documento = documento_;
        documento_.clear();
        folha_.clear();
        origem_.clear();
        if (documento.is())
            fechaDocumento(documento);
    }

private:
    // The message for a workbook that another office holds: a visible office refuses to
    // open a file with a lock beside it, as one left from an earlier export may be.
    QString emUso(const QFileInfo& arquivo) const {
        if (opcoes_.modo != ModoPlanilha::Visivel ||
            !QFileInfo::exists(arquivo.dir().filePath(".~lock." + arquivo.fileName() + "#")))
            return {};
        return QString("A planilha %1 já está aberta em outra janela do LibreOffice (talvez de "
                       "uma exportação anterior, ainda não gravada). Grave-a e feche-a nessa "
                       "janela, e exporte de novo.")
            .arg(arquivo.filePath());
    }

    css::uno::Reference<lang::XComponent> carrega(const QString& url, const QString& nome,
                                                  const QString& seRecusar = {}) {
        // Loaded hidden even in the GUI, and shown once known to be a workbook.
        const auto args = propriedades(
            {propriedade("Hidden", css::uno::Any(true)),
             propriedade("MacroExecutionMode",
                         css::uno::Any(document::MacroExecMode::NEVER_EXECUTE)),
             propriedade("UpdateDocMode", css::uno::Any(document::UpdateDocMode::NO_UPDATE))});
        const auto documento =
            canal_->chama(QString("Não foi possível abrir a planilha %1").arg(nome), [&] {
                css::uno::Reference<frame::XComponentLoader> carregador(canal_->desktop(),
                                                                        css::uno::UNO_QUERY_THROW);
                return carregador->loadComponentFromURL(lo::ou(url), "_blank", 0, args);
            });
        if (!documento.is())
            throw Erro(seRecusar.isEmpty()
                           ? QString("O LibreOffice não conseguiu abrir a planilha %1.").arg(nome)
                           : seRecusar);
        return documento;
    }

    void assume(const css::uno::Reference<sheet::XSpreadsheetDocument>& planilha,
                const QString& origem) {
        documento_ = planilha;
        origem_ = origem;
        if (opcoes_.modo == ModoPlanilha::Visivel)
            exibe();
    }

    // Shown only: raising the window from here (XTopWindow::toFront) moves the focus on
    // the office's UNO thread, where Calc's GTK clipboard query can hang the office.
    void exibe() {
        canal_->chama("Não foi possível mostrar a planilha no LibreOffice", [&] {
            css::uno::Reference<frame::XModel> modelo(documento_, css::uno::UNO_QUERY_THROW);
            const auto janela = modelo->getCurrentController()->getFrame()->getContainerWindow();
            janela->setVisible(true);
        });
    }

    static QString copiaAoLadoDe(const QString& origem) {
        const QFileInfo info(origem);
        const QString sufixo = info.suffix().isEmpty() ? QString() : "." + info.suffix();
        return info.absoluteDir().filePath(info.completeBaseName() + " - preenchida" + sufixo);
    }

    void fechaDocumento(const css::uno::Reference<css::uno::XInterface>& documento) {
        try {
            canal_->chama(QStringLiteral("Não foi possível fechar a planilha"), [&] {
                css::uno::Reference<util::XCloseable> fechavel(documento, css::uno::UNO_QUERY);
                if (fechavel.is())
                    fechavel->close(true);
            });
        } catch (const Erro&) {
            // Vetoed, gone or not answering: either way the document is no longer ours.
        }
    }

    void exigeDocumento() const {
        if (!documento_.is())
            throw Erro("Nenhuma planilha está aberta.");
    }

    css::uno::Reference<table::XCell> celula(const QString& endereco) const {
        static const QRegularExpression formato("^[A-Za-z]{1,3}[1-9][0-9]{0,6}$");
        exigeDocumento();
        if (!folha_.is())
            throw Erro("Nenhuma folha da planilha foi selecionada.");
        if (!formato.match(endereco).hasMatch())
            throw Erro(QString("Endereço de célula inválido: \"%1\".").arg(endereco));
        return canal_->chama(QString("Não foi possível localizar a célula %1").arg(endereco), [&] {
            return folha_->getCellRangeByName(lo::ou(endereco))->getCellByPosition(0, 0);
        });
    }

    static bool resultadoNumerico(const css::uno::Reference<table::XCell>& c) {
        css::uno::Reference<beans::XPropertySet> propriedades(c, css::uno::UNO_QUERY_THROW);
        sal_Int32 tipo = 0;
        propriedades->getPropertyValue("FormulaResultType2") >>= tipo;
        return tipo == sheet::FormulaResult::VALUE;
    }

    std::shared_ptr<lo::CanalUno> canal_;
    OpcoesLibreOffice opcoes_;
    css::uno::Reference<sheet::XSpreadsheetDocument> documento_;
    css::uno::Reference<sheet::XSpreadsheet> folha_;
    QString origem_;
};

} // namespace

std::unique_ptr<Planilha> lo::criaPlanilha(const std::shared_ptr<CanalUno>& canal,
                                           const OpcoesLibreOffice& opcoes) {
    return std::make_unique<PlanilhaLibreOffice>(canal, opcoes);
}

} // namespace nq
