#include "paramedu.h"

#include "core/erro.h"
#include "core/mensagens.h"
#include "db/consultas.h"
#include "db/modulodados.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace nq {

Tfrmparamedu::Tfrmparamedu(QWidget* pai) : QDialog(pai) {
    setObjectName(QStringLiteral("frmparamedu"));
    setWindowTitle(QStringLiteral("Nos relatórios da NQ 404"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));

    auto* faixa = new QLabel(QStringLiteral("Nos Relatórios da NQ 404"), this);
    faixa->setContentsMargins(8, 4, 8, 4);
    faixa->setStyleSheet(QStringLiteral("background: #008080; color: white; font-weight: bold;"));

    auto* grupo = new QGroupBox(QStringLiteral(" Mostrar Empenhos de Reserva de Dotação ? "), this);
    RD = new QCheckBox(QStringLiteral("Não"), grupo);
    RD->setObjectName(QStringLiteral("RD"));
    connect(RD, &QCheckBox::clicked, this, &Tfrmparamedu::RDClick);
    auto* dentro = new QHBoxLayout(grupo);
    dentro->addWidget(RD);

    BtnOK = new QPushButton(QStringLiteral("OK"), this);
    BtnOK->setObjectName(QStringLiteral("BtnOK"));
    BtnCancela = new QPushButton(QStringLiteral("Cancela"), this);
    BtnCancela->setObjectName(QStringLiteral("BtnCancela"));
    connect(BtnOK, &QPushButton::clicked, this, &Tfrmparamedu::BtnOKClick);
    connect(BtnCancela, &QPushButton::clicked, this, &QDialog::reject);
    auto* botoes = new QHBoxLayout;
    botoes->addStretch(1);
    botoes->addWidget(BtnOK);
    botoes->addWidget(BtnCancela);

    auto* coluna = new QVBoxLayout(this);
    coluna->setContentsMargins(0, 0, 4, 4);
    coluna->addWidget(faixa);
    coluna->addWidget(grupo, 1);
    coluna->addLayout(botoes);
    // Its designed size, or more where this screen's font needs it for the group's title.
    setFixedSize(sizeHint().expandedTo(QSize(254, 120)));
}

void Tfrmparamedu::showEvent(QShowEvent* evento) {
    QDialog::showEvent(evento);
    if (!evento->spontaneous())
        FormActivate();
}

void Tfrmparamedu::FormActivate() {
    SQLClientDataSet& cds = dm().cdsAux;
    cds.close();
    cds.setCommandText(QStringLiteral("SELECT RD FROM PARAMEDU"));
    cds.open();
    const bool vazia = cds.isEmpty();
    if (!vazia) {
        cds.first();
        RD->setChecked(cds.fieldByName(QStringLiteral("RD")).asString() == QStringLiteral("T"));
    }
    cds.close();
    RDClick();
    // Nothing to show or to change without the settings row.
    RD->setEnabled(!vazia);
    BtnOK->setEnabled(!vazia);
    if (vazia)
        mensagens().mostra(QStringLiteral("A tabela PARAMEDU não tem registro: a configuração dos "
                                          "Empenhos de Reserva não pode ser alterada."),
                           QStringLiteral("Atenção"), Icone::Exclamacao);
}

void Tfrmparamedu::RDClick() {
    QPalette cores = RD->palette();
    cores.setColor(RD->foregroundRole(), RD->isChecked() ? Qt::blue : Qt::red);
    RD->setPalette(cores);
    RD->setText(RD->isChecked() ? QStringLiteral("Sim") : QStringLiteral("Não"));
}

void Tfrmparamedu::BtnOKClick() {
    const QString valor = RD->isChecked() ? QStringLiteral("T") : QStringLiteral("F");
    Tdm& dados = dm();
    TCRSQLConnection& conexao = dados.Conexao;
    if (!conexao.InTransaction())
        conexao.StartTransaction(dados.TD);
    try {
        conexao.ExecuteDirect(QStringLiteral("UPDATE PARAMEDU SET RD = ") + textoSql(valor));
        conexao.Commit(dados.TD);
    } catch (const Erro&) {
        // A failed write leaves nothing pending on the connection.
        try {
            conexao.Rollback(dados.TD);
        } catch (const Erro&) {
            // The write failed either way; that is what the user is told.
        }
        mensagens().mostra(QStringLiteral("Erro ao Gravar!!!"), QStringLiteral("Erro"),
                           Icone::Erro);
    }
    accept();
}

} // namespace nq
