// One save of the program, run in a process of its own so that the fault
// harness can kill it or fail its system calls:
//   gravacao_filha <kind> <directory> prepara   lays the files as they were
//   gravacao_filha <kind> <directory> grava     makes the save the program makes
//   gravacao_filha <kind> <directory> le        reads every file back as the
//                                               program's next run would and
//                                               prints its figures
// Exit 0: saved; 2: the save failed with the program's message on stderr.
#include "app/planilha_tce.h"
#include "core/erro.h"
#include "core/gravacao_atomica.h"
#include "entry/catalogo.h"
#include "entry/preparacao.h"
#include "tables/clientdataset.h"
#include "tables/pacote.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <functional>
#include <map>

using namespace nq;

namespace {

struct Gravacao {
    std::function<void(const QString& pasta)> prepara;
    std::function<void(const QString& pasta)> grava;
};

// Every money value of every row moved by `passo` cents times the row number:
// figures that a mixed or truncated file could not reproduce.
void digita(ClientDataSet& t, int64_t passo) {
    int linha = 1;
    for (t.first(); !t.eof(); t.next(), ++linha) {
        t.edit();
        for (int c = 0; c < t.fieldCount(); ++c)
            if (t.fieldDef(c).kind == FieldKind::Money)
                t.field(c).setAsCurrency(t.field(c).asCurrency() +
                                         Moeda::deEscalado(passo * linha, 2));
        t.post();
    }
}

void preparaComFiguras(const QString& pasta, ArquivoDigitado a, const QString& ano = {}) {
    preparaArquivos(pasta, {{a, ano, {}, {}}});
    ClientDataSet t;
    t.setFileName(caminhoArquivo(pasta, a, ano));
    t.loadFromFile();
    digita(t, 123457);
    t.saveToFile();
}

// The data-entry window's save: load, type, save the whole packet.
Gravacao digitacao(ArquivoDigitado a, const QString& ano = {}) {
    return {[=](const QString& pasta) { preparaComFiguras(pasta, a, ano); },
            [=](const QString& pasta) {
                ClientDataSet t;
                t.setFileName(caminhoArquivo(pasta, a, ano));
                t.loadFromFile();
                digita(t, 98765);
                t.saveToFile();
            }};
}

const QString ArquivoRcl = QStringLiteral("NQ404_RCL3.XML");
const QString CopiaDeTrabalho = QStringLiteral("NQ404_Trabalho_Anexo2.xml");

const std::map<QString, Gravacao>& gravacoes() {
    static const std::map<QString, Gravacao> g = {
        {"digitados", digitacao(ArquivoDigitado::Anexo1Despesa)},
        // Creating a typed-data file where there was none.
        {"preparacao",
         {[](const QString&) {},
          [](const QString& pasta) {
              preparaArquivos(pasta, {{ArquivoDigitado::Anexo1Receita, {}, {}, {}}});
          }}},
        // An annex's copy of a typed-data file, over the previous run's copy.
        {"copia_de_trabalho",
         {[](const QString& pasta) {
              // The previous run's copy: the file before this run's typing.
              preparaArquivos(pasta, {{ArquivoDigitado::Anexo2, {}, {}, {}}});
              QFile::copy(caminhoArquivo(pasta, ArquivoDigitado::Anexo2),
                          QDir(pasta).filePath(CopiaDeTrabalho));
              ClientDataSet t;
              t.setFileName(caminhoArquivo(pasta, ArquivoDigitado::Anexo2));
              t.loadFromFile();
              digita(t, 4321);
              t.saveToFile();
          },
          [](const QString& pasta) {
              QFile f(caminhoArquivo(pasta, ArquivoDigitado::Anexo2));
              if (!f.open(QIODevice::ReadOnly))
                  throw Erro(f.errorString());
              gravaArquivoAtomico(QDir(pasta).filePath(CopiaDeTrabalho), f.readAll());
          }}},
        // The current net revenue, kept in the binary form.
        {"rcl",
         {[](const QString& pasta) {
              preparaComFiguras(pasta, ArquivoDigitado::Anexo3, "2026");
              ClientDataSet t;
              t.setFileName(caminhoArquivo(pasta, ArquivoDigitado::Anexo3, "2026"));
              t.loadFromFile();
              t.saveToFile(pasta + ArquivoRcl, FormatoPacote::Binario);
          },
          [](const QString& pasta) {
              ClientDataSet t;
              t.setFileName(pasta + ArquivoRcl);
              t.loadFromFile();
              digita(t, 55501);
              t.saveToFile({}, FormatoPacote::Binario);
          }}},
        {"gestao_fiscal", digitacao(ArquivoDigitado::GestaoFiscalDigitada)},
        // The debt and personnel-expenditure figures the later reports read.
        {"divida", digitacao(ArquivoDigitado::Anexo5Especificacao, "2026")},
        {"justificativa",
         {[](const QString& pasta) {
              preparaArquivos(pasta, {{ArquivoDigitado::Justificativas, {}, {}, {}}});
              ClientDataSet t;
              t.setFileName(caminhoArquivo(pasta, ArquivoDigitado::Justificativas));
              t.loadFromFile();
              t.append();
              t.fieldByName("CODIGO").setAsInteger(7);
              t.fieldByName("DESCRICAO")
                  .setAsString(
                      QStringLiteral("Meta não atingida por queda na arrecadação. ").repeated(40));
              t.post();
              t.saveToFile();
          },
          [](const QString& pasta) {
              ClientDataSet t;
              t.setFileName(caminhoArquivo(pasta, ArquivoDigitado::Justificativas));
              t.loadFromFile();
              t.first();
              t.edit();
              t.fieldByName("DESCRICAO")
                  .setAsString(
                      QStringLiteral("Receita de convênios adiada para o próximo bimestre. ")
                          .repeated(60));
              t.post();
              t.saveToFile();
          }}},
        {"corfoco_ini",
         {[](const QString& pasta) {
              gravaArquivoAtomico(
                  QDir(pasta).filePath("corfoco.ini"),
                  "[GERAL]\r\nULTIMO=3\r\n[TCE]\r\nPLANILHA=C:\\tce\\antiga.xls\r\n");
          },
          [](const QString& pasta) {
              defineCaminhoCorfocoIni(QDir(pasta).filePath("corfoco.ini"));
              gravaPlanilhaCorfoco(QStringLiteral("/home/contador/Planilhas TCE/2026 nova.xls"));
          }}},
        // A batch output written under its provisional name, put in place.
        {"saida_do_lote",
         {[](const QString& pasta) {
              gravaArquivoAtomico(QDir(pasta).filePath("anexo1.pdf"), "%PDF-1.4 antigo\n");
              gravaArquivoAtomico(QDir(pasta).filePath("anexo1.pdf.parcial"),
                                  QByteArray("%PDF-1.4 novo\n").repeated(500));
          },
          [](const QString& pasta) {
              instalaArquivoPronto(QDir(pasta).filePath("anexo1.pdf.parcial"),
                                   QDir(pasta).filePath("anexo1.pdf"));
          }}},
    };
    return g;
}

// What the next run finds: each packet's rows, money total and a digest of
// every value, the stored
// workbook path, the size of anything else. Temporary files of a killed save
// (".name.nq404-...") are not the program's files and are left out.
void le(const QString& pasta) {
    const QDir dir(pasta);
    for (const QString& nome : dir.entryList(QDir::Files, QDir::Name)) {
        const QString caminho = dir.filePath(nome);
        QString figuras;
        if (nome == QLatin1String("corfoco.ini")) {
            defineCaminhoCorfocoIni(caminho);
            figuras = lePlanilhaCorfoco();
        } else if (nome.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive)) {
            const Dados d = lePacote(caminho);
            Moeda total;
            for (int c = 0; c < d.campos(); ++c)
                if (d.definicoes()[c].kind == FieldKind::Money)
                    for (int l = 0; l < d.linhas(); ++l)
                        total += d.valor(l, c).asCurrency();
            QCryptographicHash conteudo(QCryptographicHash::Sha1);
            for (int l = 0; l < d.linhas(); ++l)
                for (int c = 0; c < d.campos(); ++c)
                    conteudo.addData(d.valor(l, c).asString().toUtf8().append('\0'));
            figuras = QStringLiteral("%1 linhas, %2, textos %3")
                          .arg(d.linhas())
                          .arg(total.texto(4))
                          .arg(QString::fromLatin1(conteudo.result().toHex().left(12)));
        } else {
            figuras = QString::number(QFileInfo(caminho).size()) + QStringLiteral(" bytes");
        }
        std::printf("%s: %s\n", qPrintable(nome), qPrintable(figuras));
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && QByteArray(argv[1]) == "tipos") {
        for (const auto& [nome, _] : gravacoes())
            std::printf("%s\n", qPrintable(nome));
        return 0;
    }
    const auto g =
        argc == 4 ? gravacoes().find(QString::fromLocal8Bit(argv[1])) : gravacoes().end();
    if (g == gravacoes().end()) {
        std::fprintf(stderr, "uso: gravacao_filha tipos | <tipo> <pasta> prepara|grava|le\n");
        return 1;
    }
    const QString pasta = QString::fromLocal8Bit(argv[2]) + QLatin1Char('/');
    try {
        const QByteArray etapa = argv[3];
        if (etapa == "prepara")
            g->second.prepara(pasta);
        else if (etapa == "grava")
            g->second.grava(pasta);
        else
            le(pasta);
    } catch (const Erro& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.texto()));
        return 2;
    }
    return 0;
}
