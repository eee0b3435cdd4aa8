#pragma once

#include "report/fontes.h"
#include "tables/valor.h"

#include <QColor>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <set>
#include <vector>

// The report layout model: a report owns bands, bands own components placed at fixed
// positions, pipelines feed them from in-memory tables. Every geometric property whose
// name begins with "mm" is in thousandths of a millimetre. Layouts are data (see
// carregador.h); window code finds components by name and attaches its event handlers.
namespace nq {

class ClientDataSet;
class TppBand;
class TppChildReport;
class TppCustomReport;
class TppDBPipeline;
class TppGroup;
class TppReport;

// ---- Enumerations (in their declared order) ----------------------------------------------

enum class TppUnitType {
    utScreenPixels,
    utInches,
    utMillimeters,
    utPrinterPixels,
    utMMThousandths
};
enum class TppBandType {
    btHeader,
    btTitle,
    btColumnHeader,
    btGroupHeader,
    btDetail,
    btGroupFooter,
    btColumnFooter,
    btSummary,
    btFooter,
    btPageStyle,
    btNotKnown
};
enum class TppPrintHeightType { phStatic, phDynamic };
enum class TppTextAlignment { taLeftJustified, taRightJustified, taCentered, taFullJustified };
enum class TppDataType {
    dtBoolean,
    dtDate,
    dtTime,
    dtDateTime,
    dtInteger,
    dtSingle,
    dtDouble,
    dtExtended,
    dtCurrency,
    dtChar,
    dtString,
    dtVariant,
    dtLongint,
    dtBLOB,
    dtMemo,
    dtGraphic,
    dtNotKnown,
    dtLargeInt,
    dtGUID
};
enum class TppVarEventType {
    veTraversal,
    veDataPipelineTraversal,
    vePageStart,
    vePageEnd,
    veColumnStart,
    veColumnEnd,
    veReportStart,
    veReportEnd,
    veGroupStart,
    veGroupEnd,
    veGroupBeforeHeader,
    veGroupBeforeFooter
};
enum class TppVarType {
    vtDate,
    vtDateTime,
    vtDocumentName,
    vtPrintDateTime,
    vtPageCount,
    vtPageSet,
    vtPageSetDesc,
    vtPageNo,
    vtPageNoDesc,
    vtTime,
    vtCopyNo,
    vtCopyNoDesc,
    vtSearchDesc
};
enum class TppDBCalcType { dcCount, dcSum, dcMinimum, dcMaximum, dcAverage };
enum class TppLinePosition { lpTop, lpBottom, lpLeft, lpRight, lpDiagLeft, lpDiagRight };
enum class TppLineStyle { lsSingle, lsDouble };
enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };
enum class TBrushStyle { bsSolid, bsClear };
enum class TppShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };
enum class TppPrintBehavior { pbChild, pbSection, pbFixed };
enum class TppPassSetting { psOnePass, psTwoPass };
enum class TppNoDataBehavior { ndMessageDialog, ndMessageOnPage, ndBlankPage, ndBlankReport };
enum class TppBreakType { btDataField, btCustomField };
enum class TppRangeBegin { rbFirstRecord, rbLastRecord, rbCurrentRecord };
enum class TppRangeEnd { reFirstRecord, reLastRecord, reCurrentRecord, reCount };
enum class TppLanguage {
    lgDefault,
    lgDanish,
    lgDutch,
    lgEnglish,
    lgFrench,
    lgGerman,
    lgItalian,
    lgPortugueseBrazil,
    lgPortuguese,
    lgSpanish,
    lgSpanishMexico,
    lgSwedish,
    lgNorwegian,
    lgCustom
};
enum class TppZoomSetting { zsWholePage, zsPageWidth, zs100Percent, zsPercentage };
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
enum class TppPrinterOrientation { poPortrait, poLandscape };

// ---- Shared parts --------------------------------------------------------------------------

struct TPen {
    QColor Color = Qt::black;
    TPenStyle Style = TPenStyle::psSolid;
    int Width = 0; // 0: the thinnest line the device draws
};

struct TBrush {
    QColor Color = Qt::white;
    TBrushStyle Style = TBrushStyle::bsSolid;
};

struct TppBorder {
    bool bpLeft = false;
    bool bpTop = false;
    bool bpRight = false;
    bool bpBottom = false;
    bool Visible = false;
    QColor Color = Qt::black;
    double Weight = 1; // points
    TPenStyle Style = TPenStyle::psSolid;
};

struct TppAnchors {
    bool atLeft = true;
    bool atTop = true;
    bool atRight = false;
    bool atBottom = false;
};

// ---- Components ----------------------------------------------------------------------------

class TppComponent {
public:
    virtual ~TppComponent() = default;
    // The class name as layouts write it ("TppLabel").
    virtual QString classe() const = 0;
    // Memo, rich text and subreport grow downward and continue on the next page.
    virtual bool esticavel() const { return false; }

    QString Name;     // object name, used by code to find the component
    QString UserName; // the designer's name
    int mmLeft = 0;
    int mmTop = 0;
    int mmWidth = 0;
    int mmHeight = 0;
    bool Visible = true;
    TppAnchors Anchors;
    std::function<void()> OnPrint; // before the component is drawn in its band

    TppBand* Band() const { return banda_; }
    TppBandType BandType() const;
    int GroupNo() const; // index of the group of a group band; -1 otherwise

private:
    friend class TppBand;
    TppBand* banda_ = nullptr;
};

// What every text-drawing component shares.
struct TppAparenciaDeTexto {
    Fonte Font;
    TppTextAlignment TextAlignment = TppTextAlignment::taLeftJustified;
    bool Transparent = false;
    QColor Color = Qt::white; // background when not transparent
    TppBorder Border;
};

class TppCustomText : public TppComponent, public TppAparenciaDeTexto {
public:
    bool AutoSize = false;
    bool WordWrap = false;
    QColor HyperlinkColor = Qt::blue;
    // Last word on the text about to be drawn.
    std::function<void(QString& texto)> OnGetText;
};

class TppLabel : public TppCustomText {
public:
    TppLabel() { AutoSize = true; }
    QString classe() const override { return QStringLiteral("TppLabel"); }
    QString Caption;
};

// Shared by the components that show a value through a display format.
struct TppFormatoDeValor {
    QString DisplayFormat;
    bool BlankWhenZero = false;
};

class TppDBText : public TppCustomText, public TppFormatoDeValor {
public:
    QString classe() const override { return QStringLiteral("TppDBText"); }
    TppDBPipeline* DataPipeline = nullptr;
    QString DataField;
    bool SuppressRepeatedValues = false;
    bool ParentDataPipeline = true; // without DataPipeline, read the band's report's
    TppGroup* ResetGroup = nullptr;
    // Replaces the formatting of the value: (display format, value, text to print).
    std::function<void(const QString& formato, const Value& valor, QString& texto)> OnFormat;
};

class TppDBCalc : public TppDBText {
public:
    QString classe() const override { return QStringLiteral("TppDBCalc"); }
    TppDBCalcType DBCalcType = TppDBCalcType::dcSum;
};

class TppCustomVariable : public TppCustomText, public TppFormatoDeValor {};

class TppVariable : public TppCustomVariable {
public:
    QString classe() const override { return QStringLiteral("TppVariable"); }
    TppDataType DataType = TppDataType::dtString;
    int CalcOrder = -1;
    TppVarEventType CalcType = TppVarEventType::veTraversal;
    TppVarEventType ResetType = TppVarEventType::veReportEnd;
    TppGroup* ResetComponent = nullptr; // the group of a group reset
    bool LookAhead = false;
    Value value; // current value, kept across the run
    std::function<void(TppVariable& variavel, Value& valor)> OnCalc;
    std::function<void(TppVariable& variavel, Value& valor)> OnReset;
};

class TppSystemVariable : public TppCustomVariable {
public:
    QString classe() const override { return QStringLiteral("TppSystemVariable"); }
    TppVarType VarType = TppVarType::vtDate;
};

class TppCustomGraphic : public TppComponent {
public:
    TPen Pen;
    bool ParentHeight = false;
    bool ParentWidth = false;
    bool StretchWithParent = false;
};

class TppLine : public TppCustomGraphic {
public:
    QString classe() const override { return QStringLiteral("TppLine"); }
    TppLinePosition Position = TppLinePosition::lpTop;
    TppLineStyle Style = TppLineStyle::lsSingle;
    double Weight = 0.75; // points
};

class TppShape : public TppCustomGraphic {
public:
    QString classe() const override { return QStringLiteral("TppShape"); }
    TppShapeType Shape = TppShapeType::stRectangle;
    TBrush Brush;
};

class TppStretchable : public TppComponent {
public:
    bool esticavel() const override { return true; }
    int mmBottomOffset = 0;
    int mmOverFlowOffset = 0;
    int mmStopPosition = 0;
    bool KeepTogether = false;
    TppComponent* ShiftRelativeTo = nullptr; // placed below this one as it grows
};

class TppMemo : public TppStretchable, public TppAparenciaDeTexto {
public:
    QString classe() const override { return QStringLiteral("TppMemo"); }
    QStringList Lines;
    bool CharWrap = false; // break words longer than the width
    bool Stretch = true;   // grow with the text; otherwise clipped to the box
    int mmLeading = 0;     // extra space between lines
};

class TppDBRichText : public TppStretchable, public TppAparenciaDeTexto {
public:
    QString classe() const override { return QStringLiteral("TppDBRichText"); }
    TppDBPipeline* DataPipeline = nullptr;
    QString DataField;
    bool ParentDataPipeline = true;
    int mmLeftMargin = 0;
};

class TppSubReport : public TppStretchable {
public:
    TppSubReport();
    ~TppSubReport() override;
    QString classe() const override { return QStringLiteral("TppSubReport"); }
    TppPrintBehavior PrintBehavior = TppPrintBehavior::pbChild;
    bool ParentWidth = true;
    bool ParentPrinterSetup = true;
    bool ResetPageNo = true;
    bool TraverseAllData = false;
    bool ExpandAll = false;
    bool NewPrintJob = false;
    TppChildReport& Report() { return *relatorio_; }
    const TppChildReport& Report() const { return *relatorio_; }

private:
    std::unique_ptr<TppChildReport> relatorio_;
};

// ---- Bands ---------------------------------------------------------------------------------

class TppBand {
public:
    explicit TppBand(TppBandType tipo) : tipo_(tipo) {}
    virtual ~TppBand() = default;
    TppBand(const TppBand&) = delete;
    TppBand& operator=(const TppBand&) = delete;

    QString Name;
    int mmHeight = 0;
    bool Visible = true;
    int mmBottomOffset = 0;
    int mmPrintPosition = 0;
    TppPrintHeightType PrintHeight = TppPrintHeightType::phStatic;
    std::function<void()> BeforePrint;
    std::function<void()> AfterPrint;
    std::function<void()> BeforeGenerate;
    std::function<void()> AfterGenerate;

    TppBandType tipo() const { return tipo_; }
    TppCustomReport* Report() const { return relatorio_; }
    TppGroup* Group() const { return grupo_; }

    // Takes ownership; the component learns its band.
    template <class T> T& adiciona(std::unique_ptr<T> componente) {
        T& c = *componente;
        c.banda_ = this;
        componentes_.push_back(std::move(componente));
        return c;
    }
    const std::vector<std::unique_ptr<TppComponent>>& componentes() const { return componentes_; }

private:
    friend class TppCustomReport;
    friend class TppGroup;
    TppBandType tipo_;
    TppCustomReport* relatorio_ = nullptr;
    TppGroup* grupo_ = nullptr;
    std::vector<std::unique_ptr<TppComponent>> componentes_;
};

class TppHeaderBand : public TppBand {
public:
    TppHeaderBand() : TppBand(TppBandType::btHeader) {}
};
class TppFooterBand : public TppBand {
public:
    TppFooterBand() : TppBand(TppBandType::btFooter) {}
};
class TppTitleBand : public TppBand {
public:
    TppTitleBand() : TppBand(TppBandType::btTitle) {}
};
class TppColumnHeaderBand : public TppBand {
public:
    TppColumnHeaderBand() : TppBand(TppBandType::btColumnHeader) {}
};
class TppColumnFooterBand : public TppBand {
public:
    TppColumnFooterBand() : TppBand(TppBandType::btColumnFooter) {}
};
class TppDetailBand : public TppBand {
public:
    TppDetailBand() : TppBand(TppBandType::btDetail) {}
    int BandsPerRecord = 1;
    int PrintCount = 0; // 0: unlimited
};
class TppSummaryBand : public TppBand {
public:
    TppSummaryBand() : TppBand(TppBandType::btSummary) {}
    bool AlignToBottom = false;
};
class TppGroupHeaderBand : public TppBand {
public:
    TppGroupHeaderBand() : TppBand(TppBandType::btGroupHeader) {}
};
class TppGroupFooterBand : public TppBand {
public:
    TppGroupFooterBand() : TppBand(TppBandType::btGroupFooter) {}
    bool HideWhenOneDetail = false;
};

// ---- Groups --------------------------------------------------------------------------------

class TppGroup {
public:
    TppGroup();
    TppGroup(const TppGroup&) = delete;
    TppGroup& operator=(const TppGroup&) = delete;

    QString Name;
    QString BreakName; // the field whose change starts a new group
    TppBreakType BreakType = TppBreakType::btDataField;
    TppDBPipeline* DataPipeline = nullptr; // none: the report's pipeline
    bool KeepTogether = false;
    bool NewPage = false;
    bool ResetPageNo = false;
    bool ReprintOnSubsequentPage = true;
    bool HeaderForOrphanedFooter = true;
    int mmNewPageThreshold = 0;
    int mmNewColumnThreshold = 0;
    bool StartOnOddPage = false;
    std::function<void()> BeforeGroupBreak;
    std::function<void()> AfterGroupBreak;
    // Gives the break value of a custom-field group (and may change a data-field one).
    std::function<void(QString& valor)> OnGetBreakValue;

    TppGroupHeaderBand& HeaderBand() { return cabecalho_; }
    TppGroupFooterBand& FooterBand() { return rodape_; }
    const TppGroupHeaderBand& HeaderBand() const { return cabecalho_; }
    const TppGroupFooterBand& FooterBand() const { return rodape_; }
    int indice() const { return indice_; }

private:
    friend class TppCustomReport;
    TppGroupHeaderBand cabecalho_;
    TppGroupFooterBand rodape_;
    int indice_ = -1;
};

// ---- Pipelines -----------------------------------------------------------------------------

class TppField {
public:
    QString FieldName;
    QString FieldAlias; // the name components use; empty: FieldName
    int Position = 0;
    TppDataType DataType = TppDataType::dtNotKnown;
    int FieldLength = 0;
    int DisplayWidth = 0;
    TppTextAlignment Alignment = TppTextAlignment::taLeftJustified;
    bool Searchable = false;
    bool Sortable = false;
};

// Walks the visible rows of a table (filter and index in force) by position, without
// moving the table's own current row.
class TppDBPipeline {
public:
    QString Name;
    QString UserName;
    ClientDataSet* DataSource = nullptr;
    bool OpenDataSource = true;   // open the table when the report starts
    bool CloseDataSource = false; // close it when the report ends
    bool SkipWhenNoRecords = true;
    bool RefreshAfterPost = false;
    bool AutoCreateFields = true;
    int MoveBy = 1;
    TppRangeBegin RangeBegin = TppRangeBegin::rbFirstRecord;
    TppRangeEnd RangeEnd = TppRangeEnd::reLastRecord;
    int RangeEndCount = 0; // records read with reCount
    TppDBPipeline* MasterDataPipeline = nullptr;
    QString MasterFieldLinks; // "DETAIL=MASTER;..." (the engine refuses links)
    std::vector<TppField> Fields;
    std::function<void()> OnFirst;
    std::function<void()> OnNext;
    std::function<void()> OnTraversal;
    std::function<void()> OnRecordPositionChange;
    std::function<void()> BeforeOpen;
    std::function<void()> AfterOpen;
    std::function<void()> BeforeClose;
    std::function<void()> AfterClose;

    // Name of the table field behind `nome` (an alias or a field name).
    QString campoDaTabela(const QString& nome) const;
};

class TppParameterList {
public:
    QStringList nomes; // no layout defines parameters; the list is kept as loaded
};

// ---- Reports -------------------------------------------------------------------------------

class TppCustomReport {
public:
    TppCustomReport() = default;
    virtual ~TppCustomReport();
    TppCustomReport(const TppCustomReport&) = delete;
    TppCustomReport& operator=(const TppCustomReport&) = delete;

    QString Name;
    TppDBPipeline* DataPipeline = nullptr; // master pipeline: one detail per record
    bool AutoStop = true;
    int Columns = 1;
    int mmColumnWidth = 0;
    int PageLimit = 0; // 0: no limit
    TppParameterList Parameters;

    // Creates the band of a kind (one per kind: header, title, column header, detail,
    // column footer, summary, footer) or returns the existing one.
    template <class T> T& criaBanda() {
        for (auto& b : bandas_)
            if (auto* t = dynamic_cast<T*>(b.get()))
                return *t;
        auto nova = std::make_unique<T>();
        T& ref = *nova;
        ref.relatorio_ = this;
        bandas_.push_back(std::move(nova));
        return ref;
    }
    // nullptr when the report has no band of that kind (group bands: see groups()).
    TppBand* banda(TppBandType tipo) const;
    const std::vector<std::unique_ptr<TppBand>>& bandas() const { return bandas_; }

    // Groups nest in the order they are added: the first is the outermost.
    TppGroup& adicionaGrupo();
    const std::vector<std::unique_ptr<TppGroup>>& grupos() const { return grupos_; }

    // Every band of the report (group bands included), not those of its subreports.
    std::vector<TppBand*> todasAsBandas() const;

    // Finds a component by Name (or, failing that, by UserName) here and in subreports;
    // nullptr when there is none.
    TppComponent* componente(const QString& nome) const;
    template <class T> T* componente(const QString& nome) const {
        return dynamic_cast<T*>(componente(nome));
    }
    // Same, but a missing component or one of another class throws nq::Erro.
    template <class T> T& exige(const QString& nome) const {
        T* c = componente<T>(nome);
        if (!c)
            erroComponenteAusente(nome);
        return *c;
    }
    TppGroup* grupo(const QString& nome) const;

private:
    [[noreturn]] void erroComponenteAusente(const QString& nome) const;

    std::vector<std::unique_ptr<TppBand>> bandas_;
    std::vector<std::unique_ptr<TppGroup>> grupos_;
};

class TppChildReport : public TppCustomReport {
public:
    explicit TppChildReport(TppSubReport* dono) : dono_(dono) {}
    TppSubReport* subrelatorio() const { return dono_; }

private:
    TppSubReport* dono_;
};

struct TppPrinterSetup {
    QString PaperName = QStringLiteral("A4");
    int PaperSize = 9;
    int mmPaperWidth = 210000;
    int mmPaperHeight = 297000;
    TppPrinterOrientation Orientation = TppPrinterOrientation::poPortrait;
    int mmMarginTop = 6350;
    int mmMarginBottom = 6350;
    int mmMarginLeft = 6350;
    int mmMarginRight = 6350;
    QString PrinterName = QStringLiteral("Default");
    QString BinName = QStringLiteral("Default");
    QString DocumentName = QStringLiteral("Report");
    int Copies = 1;
    bool Collation = false;
    bool SaveDeviceSettings = false;
};

struct TppPreviewFormSettings {
    TWindowState WindowState = TWindowState::wsNormal;
    TppZoomSetting ZoomSetting = TppZoomSetting::zsWholePage;
    int ZoomPercentage = 100;
};

struct TppEmailSettings {
    QString ReportFormat = QStringLiteral("PDF");
};

struct TppOutlineSettings {
    bool Enabled = true;
    bool Visible = true;
};

struct TppTextSearchSettings {
    bool Enabled = true;
    QString DefaultString = QStringLiteral("<FindText>");
};

class TppReport : public TppCustomReport {
public:
    TppReport();
    ~TppReport() override;

    TppPrinterSetup PrinterSetup;
    QString DeviceType = QStringLiteral("Screen");
    bool AllowPrintToFile = false;
    bool AllowPrintToArchive = false;
    TppPassSetting PassSetting = TppPassSetting::psOnePass;
    std::set<TppNoDataBehavior> NoDataBehaviors{TppNoDataBehavior::ndBlankPage};
    TppLanguage Language = TppLanguage::lgDefault;
    TppPreviewFormSettings PreviewFormSettings;
    bool ShowPrintDialog = true;
    bool ShowCancelDialog = true;
    bool ModalPreview = true;
    bool ModalCancelDialog = true;
    TppEmailSettings EmailSettings;
    TppOutlineSettings OutlineSettings;
    TppTextSearchSettings TextSearchSettings;
    TppUnitType Units = TppUnitType::utInches;

    // Handlers belong to the annex window. The output fires the preview ones (see
    // SaidaDeRelatorios in motor.h), in batch runs too.
    std::function<void()> OnPreviewFormCreate;
    std::function<void()> OnPreviewFormClose;
    std::function<void()> BeforePrint;
    std::function<void()> AfterPrint;
    std::function<void()> OnStartPage;
    std::function<void()> OnEndPage;
    std::function<void()> OnNoData;
    std::function<void()> OnPrintingComplete;
    std::function<void()> OnCancel;
    std::function<void()> OnPrintDialogCreate;
    std::function<void()> OnPrintDialogClose;

    // The report owns its pipelines; subreports name them too.
    TppDBPipeline& criaPipeline(const QString& nome);
    TppDBPipeline* pipeline(const QString& nome) const;
    const std::vector<std::unique_ptr<TppDBPipeline>>& pipelines() const { return pipelines_; }
    // Binds the table of a pipeline by the pipeline's name; throws nq::Erro when the
    // layout has no such pipeline.
    void ligaTabela(const QString& pipeline, ClientDataSet& tabela);

    // Runs the band engine and hands the pages to the installed output (see motor.h).
    void Print();

private:
    std::vector<std::unique_ptr<TppDBPipeline>> pipelines_;
};

} // namespace nq
