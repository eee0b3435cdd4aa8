#pragma once

#include "tables/valor.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QLineEdit>
#include <QPointer>
#include <QStyledItemDelegate>
#include <optional>
#include <vector>

namespace nq {

class ClientDataSet;

// The typing grid's view of a table: one column per field, the rows in the
// table's order. A cell typed into puts its row into edit mode; the row is
// posted by whoever drives the grid (Enter, leaving the row, saving). A value
// that does not fit its field is refused with a message and nothing is stored.
class ModeloDaGrade : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ModeloDaGrade(ClientDataSet& tabela, QObject* pai = nullptr);
    ~ModeloDaGrade() override;

    struct Coluna {
        QString titulo; // empty: the field's name
        bool somenteLeitura = false;
        std::optional<QColor> cor; // painted over the whole column
    };
    // Column set-up, reset whenever the table opens.
    Coluna& coluna(int campo);
    // Paints the rows of a line file: title lines and alternating value lines.
    void defineCoresDeLinhas(bool ligadas) { coresDeLinhas_ = ligadas; }
    // Outside typing nothing can be typed into.
    void defineDigitacao(bool ligada);
    // Whether row `linha` (0-based) is a title line, whose values are calculated.
    bool linhaDeTitulo(int linha) const;

    int rowCount(const QModelIndex& pai = {}) const override;
    int columnCount(const QModelIndex& pai = {}) const override;
    QVariant data(const QModelIndex& indice, int papel) const override;
    QVariant headerData(int secao, Qt::Orientation orientacao, int papel) const override;
    Qt::ItemFlags flags(const QModelIndex& indice) const override;
    bool setData(const QModelIndex& indice, const QVariant& valor, int papel) override;

private:
    void recomeca();
    Value valor(int linha, int campo) const;

    ClientDataSet& tabela_;
    int observador_ = 0;
    std::vector<Coluna> colunas_;
    bool coresDeLinhas_ = false;
    bool digitacao_ = false;
};

// The cell editor: a typed "." becomes "," (the decimal separator of the amounts).
class EditorDigitado : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

protected:
    void keyPressEvent(QKeyEvent* evento) override;
};

// Opens EditorDigitado on a cell and keeps track of the one open.
class DelegadoDaGrade : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit DelegadoDaGrade(QObject* pai = nullptr);
    QWidget* createEditor(QWidget* pai, const QStyleOptionViewItem& opcao,
                          const QModelIndex& indice) const override;
    // The editor open now, if any.
    QWidget* editorAberto() const { return aberto_; }

private:
    mutable QPointer<QWidget> aberto_;
};

} // namespace nq
