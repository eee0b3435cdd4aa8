#pragma once

#include "tables/pacote.h"
#include "tables/valor.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace nq {

class ClientDataSet;
class Filtro;

// A handle to one field of a table, cheap to copy and valid until the table's
// fields change (clearFields, loading, filling). Reads and writes go to the
// table's active row: the edit buffer while editing or appending, the row being
// calculated inside onCalcFields, otherwise the current row. Writing needs the
// table in Edit or Insert state (calculated fields: inside onCalcFields only).
class Field {
public:
    Field(ClientDataSet* tabela, int indice) : tabela_(tabela), indice_(indice) {}

    const FieldDef& def() const;
    const QString& name() const { return def().name; }
    FieldKind kind() const { return def().kind; }
    int size() const { return def().size; }
    int index() const { return indice_; }

    Value value() const;
    bool isNull() const { return value().isNull(); }
    QString asString() const;
    Moeda asCurrency() const;
    int32_t asInteger() const;
    double asFloat() const;

    // Values are converted to the field's kind; money from a double is rounded to
    // four places; a text wider than the field or a non-numeric text for a number
    // throws nq::Erro.
    void setValue(const Value& v);
    void setAsString(const QString& v) { setValue(Value(v)); }
    void setAsCurrency(Moeda v) { setValue(Value(v)); }
    void setAsInteger(int32_t v) { setValue(Value(v)); }
    void setAsFloat(double v) { setValue(Value(v)); }
    void clear() { setValue(Value()); }

private:
    ClientDataSet* tabela_;
    int indice_;
};

// Fills a table from an SQL statement: implemented by the database layer. It
// defines the table's fields from the result columns (clearFields, addField,
// createDataSet) and appends one row per result row (appendRecord).
class ProvedorSql {
public:
    virtual ~ProvedorSql() = default;
    virtual void preenche(const QString& comando, ClientDataSet& tabela) = 0;
};

enum class DataSetState { Inactive, Browse, Edit, Insert, CalcFields };

// What a change did, for observers (a grid, a report preview).
enum class DataSetEvent {
    Structure,   // opened, closed, fields redefined
    DataChanged, // rows reloaded, emptied, reordered or refiltered
    RowChanged,  // one row posted (its visible position is in `linha`, -1 when it left the view)
    Scrolled,    // the current row moved
    StateChanged
};

class ClientDataSet {
public:
    explicit ClientDataSet(const QString& name = {});
    ~ClientDataSet();
    ClientDataSet(const ClientDataSet&) = delete;
    ClientDataSet& operator=(const ClientDataSet&) = delete;

    // Name used in error texts ("cdsRec").
    const QString& name() const { return nome_; }
    void setName(const QString& name) { nome_ = name; }
    // A number the caller keeps with the table (a routine shared by two files
    // tells by it which one it works on).
    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

    // --- Structure -------------------------------------------------------
    // Field definitions for createDataSet (persistent fields). Changing them
    // needs the table closed.
    void clearFields();
    void addField(const QString& name, FieldKind kind, int size = 0, bool required = false);
    // A calculated field survives clearFields, loading and filling: it belongs to
    // the table, not to the data. Its values come from onCalcFields.
    void addCalculatedField(const QString& name, FieldKind kind, int size = 0);
    // Creates the table empty with the defined fields and opens it.
    void createDataSet();

    int fieldCount() const;
    const FieldDef& fieldDef(int index) const;
    // -1 when there is no such field; names ignore letter case.
    int fieldIndex(const QString& name) const;
    // Throws nq::Erro naming the field and the table when it does not exist.
    Field fieldByName(const QString& name);
    Field field(int index);
    QStringList fieldNames() const;

    // Called once per row, with the table in CalcFields state and that row
    // active, to set the calculated fields. Rows are recalculated when the
    // table is opened, loaded or filled, when a row is posted, when the handler
    // is set and by refreshCalcFields (after the handler's inputs changed).
    void setOnCalcFields(std::function<void(ClientDataSet&)> handler);
    void refreshCalcFields();

    // --- Statement -------------------------------------------------------
    void setProvider(ProvedorSql* provider) { provedor_ = provider; }
    ProvedorSql* provider() const { return provedor_; }
    void setCommandText(const QString& sql) { comando_ = sql; }
    const QString& commandText() const { return comando_; }

    // Opens: runs the command text through the provider when there is one;
    // otherwise loads the bound file; otherwise creates the table from its
    // field definitions. On failure the table stays closed.
    void open();
    // Discards the rows and any pending edit; fields, filter, index and file
    // name stay.
    void close();
    bool active() const { return estado_ != DataSetState::Inactive; }
    DataSetState state() const { return estado_; }

    // --- Fill (used by providers): one row in field order, persistent fields only.
    // Values are converted and checked as by Field::setValue; a bad value throws
    // and adds nothing. The current row stays (the first one once there is one).
    // Wrap a bulk fill in disableControls/enableControls.
    void appendRecord(const std::vector<Value>& values);

    // --- Files -------------------------------------------------------------
    // Replaces fields and rows by the file's; the form is recognised from the
    // content. Throws nq::Erro naming the file; the table is unchanged then.
    void loadFromFile(const QString& fileName = {});
    // Writes every row (filter ignored, insertion order) atomically; a pending
    // edit is posted first. Empty name: the bound file name.
    void saveToFile(const QString& fileName = {}, FormatoPacote formato = FormatoPacote::Xml);
    void setFileName(const QString& fileName) { arquivo_ = fileName; }
    const QString& fileName() const { return arquivo_; }

    // --- Navigation over the visible rows (filter and index applied) ------
    // Leaving an edited row posts it first.
    void first();
    void last();
    void next();
    void prior();
    bool eof() const;
    bool bof() const;
    bool isEmpty() const { return recordCount() == 0; }
    int recordCount() const;
    // 1-based position of the current row among the visible rows; 0 when none.
    int recNo() const;
    void setRecNo(int recNo);

    // Stable reference to a row across index and filter changes; -1 when there is
    // no current row. gotoBookmark throws when the row is no longer visible.
    int bookmark() const;
    void gotoBookmark(int bookmark);

    // Reading without moving the current row (report pipelines, grids):
    // `linha` is a 0-based visible position.
    Value valueAt(int linha, int fieldIndex) const;

    // --- Locate ------------------------------------------------------------
    // First visible row (in the current order) whose field equals `value` as a
    // whole; text compares with letter case unless caseInsensitive. Null reads
    // as the empty text or 0. Makes it current and returns true; false leaves
    // the current row alone.
    bool locate(const QString& fieldName, const Value& value, bool caseInsensitive = false);

    // --- Change --------------------------------------------------------------
    void append(); // a new row, all fields null, becomes current on post
    void edit();   // the current row (none: throws)
    void post();   // the row takes its place in the order; required fields checked
    void cancel();
    void emptyDataSet(); // deletes every row, visible or not

    // --- Index ---------------------------------------------------------------
    // Orders by the fields named ("ID" or "ANO;SEQ"); empty: insertion order.
    // Texts order by character codes, null first; ties keep insertion order.
    void setIndexFieldNames(const QString& fields);
    QString indexFieldNames() const;
    // Named indexes ("INDICE"); setIndexName makes one current (empty: none).
    void addIndex(const QString& name, const QString& fields);
    void setIndexName(const QString& name);
    QString indexName() const;

    // --- Filter ----------------------------------------------------------------
    // The expression is parsed when set; a construct the engine does not know
    // throws nq::Erro quoting the expression and the table keeps its old filter.
    void setFilter(const QString& expression);
    QString filter() const;
    void setFiltered(bool on);
    bool filtered() const;

    // --- Observers ---------------------------------------------------------------
    using Observador = std::function<void(DataSetEvent evento, int linha)>;
    int addObserver(Observador o);
    void removeObserver(int id);
    // Nested; while disabled, observers hear nothing, then one DataChanged.
    void disableControls();
    void enableControls();

private:
    friend class Field;
    struct Impl;

    Value valorAtivo(int campo) const;
    void defineValorAtivo(int campo, const Value& v);
    void checkBrowseMode();
    void exigeAberta(const QString& operacao) const;
    void exigeFechada(const QString& operacao) const;
    void recalcula(int linha);
    void recalculaTudo();
    void instala(Dados novos);
    void aplicaOrdemEFiltro(std::vector<int> campos, const Filtro* filtro);
    std::vector<int> camposDaOrdem(const Dados& dados, const QString& campos) const;
    void mudaEstado(DataSetState estado);
    void notifica(DataSetEvent evento, int linha = -1);
    QString descricao(bool inicioDeFrase = true) const;

    QString nome_;
    QString comando_;
    QString arquivo_;
    DataSetState estado_ = DataSetState::Inactive;
    ProvedorSql* provedor_ = nullptr;
    int tag_ = 0;
    std::unique_ptr<Impl> d_;
};

} // namespace nq
