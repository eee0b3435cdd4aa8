// Times the table engine on a packet of 100 000 rows shaped like a line file
// with twelve money columns: build, save and load in both forms, filter, index,
// locate. Prints one line per step: elapsed and processor time, and the peak
// resident memory so far.
//
// Usage: bench_tabelas [rows] [directory]

#include "core/erro.h"
#include "tables/clientdataset.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <sys/resource.h>

using namespace nq;

namespace {

rusage uso() {
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return r;
}

// Processor time in seconds: on a shared machine a truer measure than the clock.
double segundosDeCpu(const rusage& r) {
    return r.ru_utime.tv_sec + r.ru_stime.tv_sec + (r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

void mede(const char* passo, const std::function<QString()>& trabalho) {
    const double cpu = segundosDeCpu(uso());
    QElapsedTimer relogio;
    relogio.start();
    const QString detalhe = trabalho();
    const double decorrido = relogio.nsecsElapsed() / 1e9;
    const rusage depois = uso();
    std::printf("%-24s %7.3f s  cpu %7.3f s  pico %7.1f MB  %s\n", passo, decorrido,
                segundosDeCpu(depois) - cpu, depois.ru_maxrss / 1024.0, qPrintable(detalhe));
}

void defineCampos(ClientDataSet& t) {
    t.addField("RECEITA", FieldKind::Text, 13);
    t.addField("NOME", FieldKind::Text, 45);
    t.addField("TIPO", FieldKind::Text, 2);
    for (int m = 1; m <= 12; ++m)
        t.addField(QString("VALOR%1").arg(m), FieldKind::Money);
    t.addField("TITULO", FieldKind::Text, 2);
    t.addField("SEQ", FieldKind::Integer);
    t.addField("ID", FieldKind::Text, 5);
    t.addField("FILTRO", FieldKind::Text, 150);
}

void preenche(ClientDataSet& t, int linhas) {
    t.disableControls();
    std::vector<Value> valores;
    for (int i = 0; i < linhas; ++i) {
        // A scrambled order, so that indexing has work to do.
        const int chave = static_cast<int>((static_cast<int64_t>(i) * 7919) % linhas);
        valores.clear();
        valores.emplace_back(QString("%1.00.00").arg(chave % 10000, 4, 10, QChar('0')));
        valores.emplace_back(QString::fromUtf8("  Receita de contribuições nº %1").arg(chave));
        if (i % 7 == 0)
            valores.emplace_back("RD");
        else
            valores.emplace_back();
        for (int m = 1; m <= 12; ++m) {
            if (i % 5 == m % 5)
                valores.emplace_back();
            else
                valores.emplace_back(Moeda::deDezMilesimos(int64_t(chave) * 1237 * m));
        }
        valores.emplace_back(i % 10 == 0 ? "TI" : "VA");
        valores.emplace_back(chave);
        valores.emplace_back(QString("%1").arg(chave % 100000, 5, 10, QChar('0')));
        valores.emplace_back(i % 3 ? QString("(codre like '%1%')").arg(chave % 1000) : QString());
        t.appendRecord(valores);
    }
    t.enableControls();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int linhas = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir temporario;
    const QString pasta = argc > 2 ? QString::fromLocal8Bit(argv[2]) : temporario.path();
    const QString xml = pasta + "/NQ404_Bench.xml";
    const QString binario = pasta + "/NQ404_Bench.bin";
    std::printf("bench_tabelas: %d linhas\n", linhas);

    try {
        ClientDataSet t("cdsBench");
        defineCampos(t);
        t.createDataSet();
        mede("preencher", [&] {
            preenche(t, linhas);
            return QString("%1 registros").arg(t.recordCount());
        });
        mede("gravar XML", [&] {
            t.saveToFile(xml);
            return QString("%1 MB").arg(QFileInfo(xml).size() / 1048576.0, 0, 'f', 1);
        });
        mede("gravar binário", [&] {
            t.saveToFile(binario, FormatoPacote::Binario);
            return QString("%1 MB").arg(QFileInfo(binario).size() / 1048576.0, 0, 'f', 1);
        });

        ClientDataSet lida("cdsLida");
        mede("carregar XML", [&] {
            lida.loadFromFile(xml);
            return QString("%1 registros").arg(lida.recordCount());
        });
        mede("filtrar", [&] {
            lida.setFilter("(SEQ<50000 or SEQ=99999) AND TITULO<>'TI' and ID='0*'");
            lida.setFiltered(true);
            return QString("%1 visíveis").arg(lida.recordCount());
        });
        mede("indexar por ID", [&] {
            lida.setIndexFieldNames("ID");
            return QString("primeiro ID %1").arg(lida.fieldByName("ID").asString());
        });
        mede("percorrer e somar", [&] {
            Moeda soma;
            for (lida.first(); !lida.eof(); lida.next())
                soma += lida.fieldByName("VALOR12").asCurrency();
            return QString("soma %1").arg(soma.texto());
        });
        mede("localizar (sem filtro)", [&] {
            lida.setFiltered(false);
            return QString(lida.locate("ID", "99998") ? "achou" : "não achou");
        });
        mede("gravar XML carregado", [&] {
            lida.saveToFile(xml);
            return QString();
        });

        ClientDataSet bin("cdsBin");
        mede("carregar binário", [&] {
            bin.loadFromFile(binario);
            return QString("%1 registros").arg(bin.recordCount());
        });
    } catch (const Erro& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.texto()));
        return 1;
    }
    return 0;
}
