#include "entry/janela/modelo_grade.h"

#include "core/erro.h"
#include "core/mensagens.h"
#include "entry/janela/texto_digitado.h"
#include "tables/clientdataset.h"

#include <QKeyEvent>

namespace nq {

namespace {

const QColor CorTitulo(223, 223, 191);
const QColor CorImpar(239, 239, 230);
const QColor CorPar(247, 247, 239);

} // namespace

ModeloDaGrade::ModeloDaGrade(ClientDataSet& tabela, QObject* pai)
    : QAbstractTableModel(pai), tabela_(tabela) {
    observador_ = tabela_.addObserver([this](DataSetEvent evento, int) {
        switch (evento) {
        case DataSetEvent::Structure:
            recomeca();
            break;
        case DataSetEvent::DataChanged:
            beginResetModel();
            endResetModel();
            break;
        case DataSetEvent::RowChanged:
        case DataSetEvent::StateChanged:
            if (rowCount() > 0)
                emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
            break;
        case DataSetEvent::Scrolled:
            break;
        }
    });
    recomeca();
}

ModeloDaGrade::~ModeloDaGrade() {
    tabela_.removeObserver(observador_);
}

void ModeloDaGrade::recomeca() {
    beginResetModel();
    colunas_.assign(tabela_.active() ? tabela_.fieldCount() : 0, Coluna{});
    endResetModel();
}

ModeloDaGrade::Coluna& ModeloDaGrade::coluna(int campo) {
    return colunas_.at(campo);
}

void ModeloDaGrade::defineDigitacao(bool ligada) {
    digitacao_ = ligada;
    alterado_ = false;
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

bool ModeloDaGrade::linhaDeTitulo(int linha) const {
    const int titulo = tabela_.fieldIndex(QStringLiteral("TITULO"));
    return titulo >= 0 && tabela_.valueAt(linha, titulo).asString() == QLatin1String("TI");
}

int ModeloDaGrade::rowCount(const QModelIndex& pai) const {
    return pai.isValid() || !tabela_.active() ? 0 : tabela_.recordCount();
}

int ModeloDaGrade::columnCount(const QModelIndex& pai) const {
    return pai.isValid() ? 0 : static_cast<int>(colunas_.size());
}

// The row being edited shows what was typed into it.
Value ModeloDaGrade::valor(int linha, int campo) const {
    const bool editada = tabela_.state() == DataSetState::Edit && tabela_.recNo() == linha + 1;
    return editada ? tabela_.field(campo).value() : tabela_.valueAt(linha, campo);
}

QVariant ModeloDaGrade::data(const QModelIndex& indice, int papel) const {
    if (!indice.isValid() || indice.row() >= rowCount())
        return {};
    const int campo = indice.column();
    const FieldKind tipo = tabela_.fieldDef(campo).kind;
    switch (papel) {
    case Qt::DisplayRole:
        return textoExibido(valor(indice.row(), campo), tipo);
    case Qt::EditRole:
        return textoParaEditar(valor(indice.row(), campo), tipo);
    case Qt::TextAlignmentRole:
        return tipo == FieldKind::Text || tipo == FieldKind::FormattedMemo
                   ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                   : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::BackgroundRole:
        if (colunas_[campo].cor)
            return *colunas_[campo].cor;
        if (!coresDeLinhas_)
            return {};
        if (linhaDeTitulo(indice.row()))
            return CorTitulo;
        return (indice.row() + 1) % 2 == 1 ? CorImpar : CorPar;
    case Qt::ForegroundRole:
        return QColor(Qt::black);
    case Qt::ToolTipRole:
        // Descriptions wider than their column are read here in full.
        return tipo == FieldKind::Text ? QVariant(valor(indice.row(), campo).asString())
                                       : QVariant();
    default:
        return {};
    }
}

QVariant ModeloDaGrade::headerData(int secao, Qt::Orientation orientacao, int papel) const {
    if ((papel != Qt::DisplayRole && papel != Qt::ToolTipRole) || orientacao == Qt::Vertical ||
        secao < 0 || secao >= columnCount())
        return {};
    const QString& titulo = colunas_[secao].titulo;
    const QString texto = titulo.isEmpty() ? tabela_.fieldDef(secao).name : titulo;
    return papel == Qt::DisplayRole ? tituloEmLinhas(texto) : texto;
}

Qt::ItemFlags ModeloDaGrade::flags(const QModelIndex& indice) const {
    if (!indice.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (digitacao_ && !colunas_[indice.column()].somenteLeitura && !linhaDeTitulo(indice.row()))
        f |= Qt::ItemIsEditable;
    return f;
}

bool ModeloDaGrade::setData(const QModelIndex& indice, const QVariant& valor, int papel) {
    if (papel != Qt::EditRole || !(flags(indice) & Qt::ItemIsEditable))
        return false;
    const int campo = indice.column();
    const FieldDef& def = tabela_.fieldDef(campo);
    // The editor closed on the text it opened with: nothing was typed.
    if (valor.toString() == data(indice, Qt::EditRole).toString())
        return true;
    try {
        const Value novo = valorDigitado(valor.toString(), def.kind);
        if (tabela_.recNo() != indice.row() + 1)
            tabela_.setRecNo(indice.row() + 1);
        tabela_.edit();
        tabela_.field(campo).setValue(novo);
    } catch (const Erro& e) {
        mensagens().mostra(e.texto(), QStringLiteral("Atenção"), Icone::Exclamacao);
        return false;
    }
    alterado_ = true;
    emit dataChanged(index(indice.row(), 0), index(indice.row(), columnCount() - 1));
    return true;
}

QString tituloEmLinhas(const QString& titulo) {
    constexpr int Largura = 12; // characters per line, roughly a money column
    const QStringList palavras =
        QString(titulo).replace(u'_', u' ').split(u' ', Qt::SkipEmptyParts);
    QStringList linhas;
    for (const QString& palavra : palavras) {
        if (!linhas.isEmpty() && linhas.last().size() + 1 + palavra.size() <= Largura)
            linhas.last() += u' ' + palavra;
        else
            linhas << palavra;
    }
    return linhas.isEmpty() ? titulo : linhas.join(u'\n');
}

void EditorDigitado::keyPressEvent(QKeyEvent* evento) {
    const bool teclado = evento->modifiers() & Qt::KeypadModifier;
    if (teclado && (evento->key() == Qt::Key_Period || evento->key() == Qt::Key_Comma ||
                    evento->text() == QLatin1String("."))) {
        QKeyEvent virgula(evento->type(), Qt::Key_Comma, evento->modifiers(), QStringLiteral(","));
        QLineEdit::keyPressEvent(&virgula);
        return;
    }
    QLineEdit::keyPressEvent(evento);
}

DelegadoDaGrade::DelegadoDaGrade(QObject* pai) : QStyledItemDelegate(pai) {
    // Connected before any view: the editor is forgotten before the view frees it.
    connect(this, &QAbstractItemDelegate::closeEditor, this, [this] { aberto_.clear(); });
}

QWidget* DelegadoDaGrade::createEditor(QWidget* pai, const QStyleOptionViewItem&,
                                       const QModelIndex& indice) const {
    auto* editor = new EditorDigitado(pai);
    editor->setFrame(false);
    aberto_ = editor;
    celula_ = indice;
    recusa_.reset();
    return editor;
}

bool DelegadoDaGrade::eventFilter(QObject* objeto, QEvent* evento) {
    auto* editor = qobject_cast<EditorDigitado*>(objeto);
    if (!editor || editor != aberto_ || evento->type() != QEvent::KeyPress)
        return QStyledItemDelegate::eventFilter(objeto, evento);
    const int tecla = static_cast<QKeyEvent*>(evento)->key();
    if (tecla != Qt::Key_Tab && tecla != Qt::Key_Backtab)
        return QStyledItemDelegate::eventFilter(objeto, evento);
    // As the base class does, through the view's commit (which keeps the refusal's
    // message box from closing the editor), but the editor closes only on a value taken.
    emit commitData(editor);
    if (recusa_) {
        recusa_.reset(); // the editor still holds it
        editor->setFocus();
        editor->selectAll();
        return true;
    }
    emit closeEditor(editor, tecla == Qt::Key_Tab ? EditNextItem : EditPreviousItem);
    return true;
}

void DelegadoDaGrade::setModelData(QWidget* editor, QAbstractItemModel* modelo,
                                   const QModelIndex& indice) const {
    const QString texto = static_cast<EditorDigitado*>(editor)->text();
    if (modelo->setData(indice, texto, Qt::EditRole))
        recusa_.reset();
    else
        recusa_ = Recusa{indice, texto};
}

} // namespace nq
