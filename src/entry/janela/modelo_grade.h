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
// Column titles break into lines at blanks and underscores, so that a column
// need not be as wide as its field's name.
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
    // Outside typing nothing can be typed into. Starting or ending typing
    // forgets what was changed.
    void defineDigitacao(bool ligada);
    bool digitacao() const { return digitacao_; }
    // Whether row `linha` (0-based) is a title line, whose values are calculated.
    bool linhaDeTitulo(int linha) const;
    // Whether a cell took a new value since typing started.
    bool alterado() const { return alterado_; }

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
    bool alterado_ = false;
};

// A column title as the grid's heading shows it: "PREVISAO_ATUALIZADA" becomes
// "PREVISAO" over "ATUALIZADA"; words are kept whole.
QString tituloEmLinhas(const QString& titulo);

// The cell editor. The numeric keypad's decimal key gives "," (the decimal
// separator of the amounts); the main keyboard's "." stays the thousands separator.
class EditorDigitado : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

protected:
    void keyPressEvent(QKeyEvent* evento) override;
};

// Opens EditorDigitado on a cell and keeps track of the one open, and of a
// value the cell refused when its editor closed, until another editor opens.
class DelegadoDaGrade : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit DelegadoDaGrade(QObject* pai = nullptr);
    QWidget* createEditor(QWidget* pai, const QStyleOptionViewItem& opcao,
                          const QModelIndex& indice) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* modelo,
                      const QModelIndex& indice) const override;
    // The editor open now, if any, and the cell it edits.
    EditorDigitado* editorAberto() const { return aberto_; }
    QModelIndex celulaEditada() const { return celula_; }

    struct Recusa {
        QPersistentModelIndex celula;
        QString texto;
    };
    // The last refused value, while no editor has opened since.
    const std::optional<Recusa>& recusa() const { return recusa_; }
    void esqueceRecusa() { recusa_.reset(); }

protected:
    // Tab and Shift+Tab leave the cell only with a value it takes: a refused one stays
    // in its editor to be put right, instead of the next figure being typed one cell on.
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    mutable QPointer<EditorDigitado> aberto_;
    mutable QPersistentModelIndex celula_;
    mutable std::optional<Recusa> recusa_;
};

} // namespace nq
