#include "report/carregador.h"

#include "core/erro.h"

#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <functional>

namespace nq {

namespace {

// One JSON object of the layout, with the path that error texts show
// ("Bands[2].Components[5].Font"); remembers the keys it used so that fim() can refuse
// the ones nobody read.
class Leitor {
public:
    Leitor(QJsonObject objeto, QString caminho, const QString& origem)
        : objeto_(std::move(objeto)), caminho_(std::move(caminho)), origem_(origem) {}

    bool tem(const QString& chave) const { return objeto_.contains(chave); }

    [[noreturn]] void erro(const QString& chave, const QString& motivo) const {
        const QString onde = caminho_.isEmpty() ? chave : caminho_ + QLatin1Char('.') + chave;
        throw Erro(QStringLiteral("Layout \"%1\", chave \"%2\": %3.").arg(origem_, onde, motivo));
    }

    QJsonValue valor(const QString& chave) {
        usadas_.insert(chave);
        return objeto_.value(chave);
    }

    void le(const QString& chave, int& destino) {
        if (!tem(chave))
            return;
        const QJsonValue v = valor(chave);
        if (!v.isDouble() || v.toDouble() != static_cast<double>(v.toInt()))
            erro(chave, QStringLiteral("esperava um número inteiro"));
        destino = v.toInt();
    }
    void le(const QString& chave, double& destino) {
        if (!tem(chave))
            return;
        const QJsonValue v = valor(chave);
        if (!v.isDouble())
            erro(chave, QStringLiteral("esperava um número"));
        destino = v.toDouble();
    }
    void le(const QString& chave, bool& destino) {
        if (!tem(chave))
            return;
        const QJsonValue v = valor(chave);
        if (!v.isBool())
            erro(chave, QStringLiteral("esperava true ou false"));
        destino = v.toBool();
    }
    void le(const QString& chave, QString& destino) {
        if (!tem(chave))
            return;
        const QJsonValue v = valor(chave);
        if (!v.isString())
            erro(chave, QStringLiteral("esperava um texto"));
        destino = v.toString();
    }
    void le(const QString& chave, QStringList& destino) {
        if (!tem(chave))
            return;
        destino.clear();
        for (const QJsonValue& v : lista(chave)) {
            if (!v.isString())
                erro(chave, QStringLiteral("esperava uma lista de textos"));
            destino << v.toString();
        }
    }
    void le(const QString& chave, QColor& destino) {
        QString nome;
        le(chave, nome);
        if (nome.isEmpty())
            return;
        static const QHash<QString, QColor> cores = {
            {"clBlack", QColor(0, 0, 0)},        {"clMaroon", QColor(128, 0, 0)},
            {"clGreen", QColor(0, 128, 0)},      {"clOlive", QColor(128, 128, 0)},
            {"clNavy", QColor(0, 0, 128)},       {"clPurple", QColor(128, 0, 128)},
            {"clTeal", QColor(0, 128, 128)},     {"clGray", QColor(128, 128, 128)},
            {"clSilver", QColor(192, 192, 192)}, {"clRed", QColor(255, 0, 0)},
            {"clLime", QColor(0, 255, 0)},       {"clYellow", QColor(255, 255, 0)},
            {"clBlue", QColor(0, 0, 255)},       {"clFuchsia", QColor(255, 0, 255)},
            {"clAqua", QColor(0, 255, 255)},     {"clWhite", QColor(255, 255, 255)},
            {"clWindow", QColor(255, 255, 255)}, {"clWindowText", QColor(0, 0, 0)},
            {"clBtnFace", QColor(240, 240, 240)}};
        if (cores.contains(nome))
            destino = cores.value(nome);
        else if (nome.startsWith(QLatin1Char('#')) && QColor::isValidColorName(nome))
            destino = QColor::fromString(nome);
        else
            erro(chave, QStringLiteral("cor desconhecida \"%1\"").arg(nome));
    }
    // Enumerations are written by their names, listed here in declaration order.
    template <class E> void le(const QString& chave, E& destino, const QStringList& nomes) {
        QString nome;
        le(chave, nome);
        if (!tem(chave))
            return;
        const int i = static_cast<int>(nomes.indexOf(nome));
        if (i < 0)
            erro(chave, QStringLiteral("valor desconhecido \"%1\" (aceita: %2)")
                            .arg(nome, nomes.join(QStringLiteral(", "))));
        destino = static_cast<E>(i);
    }
    // A set of flags given as a list of names.
    void leConjunto(const QString& chave, const std::vector<std::pair<QString, bool*>>& flags) {
        if (!tem(chave))
            return;
        for (auto& f : flags)
            *f.second = false;
        for (const QJsonValue& v : lista(chave)) {
            auto it = std::find_if(flags.begin(), flags.end(),
                                   [&v](const auto& f) { return f.first == v.toString(); });
            if (it == flags.end())
                erro(chave, QStringLiteral("valor desconhecido \"%1\"").arg(v.toString()));
            *it->second = true;
        }
    }

    QJsonArray lista(const QString& chave) {
        const QJsonValue v = valor(chave);
        if (!v.isArray() && !v.isUndefined())
            erro(chave, QStringLiteral("esperava uma lista"));
        return v.toArray();
    }
    Leitor objeto(const QString& chave) {
        const QJsonValue v = valor(chave);
        if (!v.isObject() && !v.isUndefined())
            erro(chave, QStringLiteral("esperava um objeto"));
        return Leitor(v.toObject(), sub(chave), origem_);
    }
    Leitor item(const QString& chave, const QJsonArray& lista, int i) const {
        if (!lista[i].isObject())
            erro(QStringLiteral("%1[%2]").arg(chave).arg(i), QStringLiteral("esperava um objeto"));
        return Leitor(lista[i].toObject(), sub(QStringLiteral("%1[%2]").arg(chave).arg(i)),
                      origem_);
    }

    void fim() const {
        for (auto it = objeto_.begin(); it != objeto_.end(); ++it)
            if (!usadas_.contains(it.key()))
                erro(it.key(), QStringLiteral("chave desconhecida"));
    }

private:
    QString sub(const QString& chave) const {
        return caminho_.isEmpty() ? chave : caminho_ + QLatin1Char('.') + chave;
    }

    QJsonObject objeto_;
    QString caminho_;
    const QString& origem_;
    QSet<QString> usadas_;
};

const QStringList Alinhamentos = {"taLeftJustified", "taRightJustified", "taCentered",
                                  "taFullJustified"};
const QStringList TiposDeDado = {"dtBoolean", "dtDate",     "dtTime",     "dtDateTime", "dtInteger",
                                 "dtSingle",  "dtDouble",   "dtExtended", "dtCurrency", "dtChar",
                                 "dtString",  "dtVariant",  "dtLongint",  "dtBLOB",     "dtMemo",
                                 "dtGraphic", "dtNotKnown", "dtLargeInt", "dtGUID"};
const QStringList EventosDeVariavel = {"veTraversal",         "veDataPipelineTraversal",
                                       "vePageStart",         "vePageEnd",
                                       "veColumnStart",       "veColumnEnd",
                                       "veReportStart",       "veReportEnd",
                                       "veGroupStart",        "veGroupEnd",
                                       "veGroupBeforeHeader", "veGroupBeforeFooter"};
const QStringList EstilosDeCaneta = {"psSolid",   "psDash",       "psDot",
                                     "psDashDot", "psDashDotDot", "psClear"};

class Carregador {
public:
    explicit Carregador(const QString& origem) : origem_(origem) {}

    std::unique_ptr<TppReport> carrega(const QJsonObject& raiz) {
        auto relatorio = std::make_unique<TppReport>();
        principal_ = relatorio.get();
        Leitor l(raiz, QString(), origem_);
        TppReport& r = *relatorio;
        const QJsonArray pipelines = l.lista("Pipelines");
        for (int i = 0; i < pipelines.size(); ++i) {
            Leitor p = l.item(QStringLiteral("Pipelines"), pipelines, i);
            lePipeline(p);
        }
        lePrinterSetup(l.objeto("PrinterSetup"), r.PrinterSetup);
        l.le("DeviceType", r.DeviceType);
        l.le("AllowPrintToFile", r.AllowPrintToFile);
        l.le("AllowPrintToArchive", r.AllowPrintToArchive);
        l.le("PassSetting", r.PassSetting, {"psOnePass", "psTwoPass"});
        if (l.tem("NoDataBehaviors")) {
            bool b[4] = {};
            l.leConjunto("NoDataBehaviors", {{"ndMessageDialog", &b[0]},
                                             {"ndMessageOnPage", &b[1]},
                                             {"ndBlankPage", &b[2]},
                                             {"ndBlankReport", &b[3]}});
            r.NoDataBehaviors.clear();
            for (int i = 0; i < 4; ++i)
                if (b[i])
                    r.NoDataBehaviors.insert(static_cast<TppNoDataBehavior>(i));
        }
        l.le("Language", r.Language,
             {"lgDefault", "lgDanish", "lgDutch", "lgEnglish", "lgFrench", "lgGerman", "lgItalian",
              "lgPortugueseBrazil", "lgPortuguese", "lgSpanish", "lgSpanishMexico", "lgSwedish",
              "lgNorwegian", "lgCustom"});
        {
            Leitor p = l.objeto("PreviewFormSettings");
            p.le("WindowState", r.PreviewFormSettings.WindowState,
                 {"wsNormal", "wsMinimized", "wsMaximized"});
            p.le("ZoomSetting", r.PreviewFormSettings.ZoomSetting,
                 {"zsWholePage", "zsPageWidth", "zs100Percent", "zsPercentage"});
            p.le("ZoomPercentage", r.PreviewFormSettings.ZoomPercentage);
            p.fim();
        }
        l.le("ShowPrintDialog", r.ShowPrintDialog);
        l.le("ShowCancelDialog", r.ShowCancelDialog);
        l.le("ModalPreview", r.ModalPreview);
        l.le("ModalCancelDialog", r.ModalCancelDialog);
        {
            Leitor e = l.objeto("EmailSettings");
            e.le("ReportFormat", r.EmailSettings.ReportFormat);
            e.fim();
            Leitor o = l.objeto("OutlineSettings");
            o.le("Enabled", r.OutlineSettings.Enabled);
            o.le("Visible", r.OutlineSettings.Visible);
            o.fim();
            Leitor t = l.objeto("TextSearchSettings");
            t.le("Enabled", r.TextSearchSettings.Enabled);
            t.le("DefaultString", r.TextSearchSettings.DefaultString);
            t.fim();
        }
        l.le("Units", r.Units,
             {"utScreenPixels", "utInches", "utMillimeters", "utPrinterPixels", "utMMThousandths"});
        l.le("Parameters", r.Parameters.nomes);
        leRelatorio(l, r);
        l.fim();
        for (const auto& ajuste : ajustes_)
            ajuste();
        return relatorio;
    }

private:
    void lePipeline(Leitor& l) {
        QString nome;
        l.le("Name", nome);
        if (nome.isEmpty())
            l.erro(QStringLiteral("Name"), QStringLiteral("a fonte de dados precisa de um nome"));
        if (principal_->pipeline(nome))
            l.erro(QStringLiteral("Name"),
                   QStringLiteral("fonte de dados repetida \"%1\"").arg(nome));
        TppDBPipeline& p = principal_->criaPipeline(nome);
        l.le("UserName", p.UserName);
        l.le("OpenDataSource", p.OpenDataSource);
        l.le("CloseDataSource", p.CloseDataSource);
        l.le("SkipWhenNoRecords", p.SkipWhenNoRecords);
        l.le("RefreshAfterPost", p.RefreshAfterPost);
        l.le("AutoCreateFields", p.AutoCreateFields);
        l.le("MoveBy", p.MoveBy);
        l.le("RangeBegin", p.RangeBegin, {"rbFirstRecord", "rbLastRecord", "rbCurrentRecord"});
        l.le("RangeEnd", p.RangeEnd,
             {"reFirstRecord", "reLastRecord", "reCurrentRecord", "reCount"});
        l.le("RangeEndCount", p.RangeEndCount);
        QString mestre;
        l.le("MasterDataPipeline", mestre);
        if (!mestre.isEmpty())
            p.MasterDataPipeline = pipelineExigido(l, QStringLiteral("MasterDataPipeline"), mestre);
        l.le("MasterFieldLinks", p.MasterFieldLinks);
        const QJsonArray campos = l.lista("Fields");
        for (int i = 0; i < campos.size(); ++i) {
            Leitor c = l.item(QStringLiteral("Fields"), campos, i);
            TppField f;
            c.le("FieldName", f.FieldName);
            c.le("FieldAlias", f.FieldAlias);
            c.le("Position", f.Position);
            c.le("DataType", f.DataType, TiposDeDado);
            c.le("FieldLength", f.FieldLength);
            c.le("DisplayWidth", f.DisplayWidth);
            c.le("Alignment", f.Alignment, Alinhamentos);
            c.le("Searchable", f.Searchable);
            c.le("Sortable", f.Sortable);
            c.fim();
            p.Fields.push_back(f);
        }
        l.fim();
    }

    void lePrinterSetup(Leitor l, TppPrinterSetup& s) {
        l.le("PaperName", s.PaperName);
        l.le("PaperSize", s.PaperSize);
        l.le("mmPaperWidth", s.mmPaperWidth);
        l.le("mmPaperHeight", s.mmPaperHeight);
        l.le("Orientation", s.Orientation, {"poPortrait", "poLandscape"});
        l.le("mmMarginTop", s.mmMarginTop);
        l.le("mmMarginBottom", s.mmMarginBottom);
        l.le("mmMarginLeft", s.mmMarginLeft);
        l.le("mmMarginRight", s.mmMarginRight);
        l.le("PrinterName", s.PrinterName);
        l.le("BinName", s.BinName);
        l.le("DocumentName", s.DocumentName);
        l.le("Copies", s.Copies);
        l.le("Collation", s.Collation);
        l.le("SaveDeviceSettings", s.SaveDeviceSettings);
        l.fim();
    }

    TppDBPipeline* pipelineExigido(const Leitor& l, const QString& chave, const QString& nome) {
        TppDBPipeline* p = principal_->pipeline(nome);
        if (!p)
            l.erro(chave,
                   QStringLiteral("fonte de dados \"%1\" não declarada em Pipelines").arg(nome));
        return p;
    }

    void lePipelineOpcional(Leitor& l, TppDBPipeline*& destino) {
        QString nome;
        l.le("DataPipeline", nome);
        if (!nome.isEmpty())
            destino = pipelineExigido(l, QStringLiteral("DataPipeline"), nome);
    }

    // What the main report and a subreport's report share: pipeline, bands, groups.
    void leRelatorio(Leitor& l, TppCustomReport& r) {
        l.le("Name", r.Name);
        lePipelineOpcional(l, r.DataPipeline);
        l.le("AutoStop", r.AutoStop);
        l.le("Columns", r.Columns);
        l.le("mmColumnWidth", r.mmColumnWidth);
        l.le("PageLimit", r.PageLimit);
        const QJsonArray grupos = l.lista("Groups");
        for (int i = 0; i < grupos.size(); ++i) {
            Leitor g = l.item(QStringLiteral("Groups"), grupos, i);
            leGrupo(g, r);
        }
        const QJsonArray bandas = l.lista("Bands");
        for (int i = 0; i < bandas.size(); ++i) {
            Leitor b = l.item(QStringLiteral("Bands"), bandas, i);
            QString tipo;
            b.le("Type", tipo);
            TppBand& banda = criaBanda(b, r, tipo);
            leBanda(b, banda);
        }
    }

    TppBand& criaBanda(const Leitor& l, TppCustomReport& r, const QString& tipo) {
        static const QStringList tipos = {"Header",       "Title",   "ColumnHeader", "Detail",
                                          "ColumnFooter", "Summary", "Footer"};
        const QList<TppBandType> enums = {TppBandType::btHeader,       TppBandType::btTitle,
                                          TppBandType::btColumnHeader, TppBandType::btDetail,
                                          TppBandType::btColumnFooter, TppBandType::btSummary,
                                          TppBandType::btFooter};
        const int i = static_cast<int>(tipos.indexOf(tipo));
        if (i < 0)
            l.erro(QStringLiteral("Type"), QStringLiteral("tipo de banda desconhecido \"%1\" "
                                                          "(aceita: %2)")
                                               .arg(tipo, tipos.join(QStringLiteral(", "))));
        if (r.banda(enums[i]))
            l.erro(QStringLiteral("Type"), QStringLiteral("banda \"%1\" repetida").arg(tipo));
        switch (enums[i]) {
        case TppBandType::btHeader:
            return r.criaBanda<TppHeaderBand>();
        case TppBandType::btTitle:
            return r.criaBanda<TppTitleBand>();
        case TppBandType::btColumnHeader:
            return r.criaBanda<TppColumnHeaderBand>();
        case TppBandType::btDetail:
            return r.criaBanda<TppDetailBand>();
        case TppBandType::btColumnFooter:
            return r.criaBanda<TppColumnFooterBand>();
        case TppBandType::btSummary:
            return r.criaBanda<TppSummaryBand>();
        default:
            return r.criaBanda<TppFooterBand>();
        }
    }

    void leGrupo(Leitor& l, TppCustomReport& r) {
        TppGroup& g = r.adicionaGrupo();
        l.le("Name", g.Name);
        l.le("BreakName", g.BreakName);
        l.le("BreakType", g.BreakType, {"btDataField", "btCustomField"});
        lePipelineOpcional(l, g.DataPipeline);
        l.le("KeepTogether", g.KeepTogether);
        l.le("NewPage", g.NewPage);
        l.le("ResetPageNo", g.ResetPageNo);
        l.le("ReprintOnSubsequentPage", g.ReprintOnSubsequentPage);
        l.le("HeaderForOrphanedFooter", g.HeaderForOrphanedFooter);
        l.le("mmNewPageThreshold", g.mmNewPageThreshold);
        l.le("mmNewColumnThreshold", g.mmNewColumnThreshold);
        l.le("StartOnOddPage", g.StartOnOddPage);
        Leitor cabecalho = l.objeto("Header");
        leBanda(cabecalho, g.HeaderBand());
        Leitor rodape = l.objeto("Footer");
        leBanda(rodape, g.FooterBand());
        l.fim();
    }

    void leBanda(Leitor& l, TppBand& b) {
        l.le("Name", b.Name);
        l.le("mmHeight", b.mmHeight);
        l.le("Visible", b.Visible);
        l.le("mmBottomOffset", b.mmBottomOffset);
        l.le("mmPrintPosition", b.mmPrintPosition);
        l.le("PrintHeight", b.PrintHeight, {"phStatic", "phDynamic"});
        if (auto* d = dynamic_cast<TppDetailBand*>(&b)) {
            l.le("BandsPerRecord", d->BandsPerRecord);
            l.le("PrintCount", d->PrintCount);
        }
        if (auto* s = dynamic_cast<TppSummaryBand*>(&b))
            l.le("AlignToBottom", s->AlignToBottom);
        if (auto* f = dynamic_cast<TppGroupFooterBand*>(&b))
            l.le("HideWhenOneDetail", f->HideWhenOneDetail);
        const QJsonArray componentes = l.lista("Components");
        for (int i = 0; i < componentes.size(); ++i) {
            Leitor c = l.item(QStringLiteral("Components"), componentes, i);
            leComponente(c, b);
        }
        l.fim();
    }

    void leComponente(Leitor& l, TppBand& b) {
        QString classe;
        l.le("Class", classe);
        static const QHash<QString, std::function<std::unique_ptr<TppComponent>()>> fabricas = {
            {"TppLabel", [] { return std::make_unique<TppLabel>(); }},
            {"TppDBText", [] { return std::make_unique<TppDBText>(); }},
            {"TppDBCalc", [] { return std::make_unique<TppDBCalc>(); }},
            {"TppVariable", [] { return std::make_unique<TppVariable>(); }},
            {"TppSystemVariable", [] { return std::make_unique<TppSystemVariable>(); }},
            {"TppLine", [] { return std::make_unique<TppLine>(); }},
            {"TppShape", [] { return std::make_unique<TppShape>(); }},
            {"TppMemo", [] { return std::make_unique<TppMemo>(); }},
            {"TppDBRichText", [] { return std::make_unique<TppDBRichText>(); }},
            {"TppSubReport", [] { return std::make_unique<TppSubReport>(); }},
        };
        if (!fabricas.contains(classe))
            l.erro(QStringLiteral("Class"), QStringLiteral("classe de componente desconhecida "
                                                           "\"%1\"")
                                                .arg(classe));
        TppComponent& c = b.adiciona(fabricas.value(classe)());
        l.le("Name", c.Name);
        l.le("UserName", c.UserName);
        l.le("mmLeft", c.mmLeft);
        l.le("mmTop", c.mmTop);
        l.le("mmWidth", c.mmWidth);
        l.le("mmHeight", c.mmHeight);
        l.le("Visible", c.Visible);
        l.leConjunto("Anchors", {{"atLeft", &c.Anchors.atLeft},
                                 {"atTop", &c.Anchors.atTop},
                                 {"atRight", &c.Anchors.atRight},
                                 {"atBottom", &c.Anchors.atBottom}});
        if (auto* a = dynamic_cast<TppAparenciaDeTexto*>(&c))
            leAparencia(l, *a);
        if (auto* t = dynamic_cast<TppCustomText*>(&c)) {
            l.le("AutoSize", t->AutoSize);
            l.le("WordWrap", t->WordWrap);
            l.le("HyperlinkColor", t->HyperlinkColor);
        }
        if (auto* f = dynamic_cast<TppFormatoDeValor*>(&c)) {
            l.le("DisplayFormat", f->DisplayFormat);
            l.le("BlankWhenZero", f->BlankWhenZero);
        }
        if (auto* t = dynamic_cast<TppLabel*>(&c))
            l.le("Caption", t->Caption);
        if (auto* t = dynamic_cast<TppDBText*>(&c)) {
            lePipelineOpcional(l, t->DataPipeline);
            l.le("DataField", t->DataField);
            l.le("SuppressRepeatedValues", t->SuppressRepeatedValues);
            l.le("ParentDataPipeline", t->ParentDataPipeline);
            grupoDepois(l, QStringLiteral("ResetGroup"), b, t->ResetGroup);
        }
        if (auto* t = dynamic_cast<TppDBCalc*>(&c))
            l.le("DBCalcType", t->DBCalcType,
                 {"dcCount", "dcSum", "dcMinimum", "dcMaximum", "dcAverage"});
        if (auto* v = dynamic_cast<TppVariable*>(&c)) {
            l.le("DataType", v->DataType, TiposDeDado);
            l.le("CalcOrder", v->CalcOrder);
            l.le("CalcType", v->CalcType, EventosDeVariavel);
            l.le("ResetType", v->ResetType, EventosDeVariavel);
            grupoDepois(l, QStringLiteral("ResetComponent"), b, v->ResetComponent);
            l.le("LookAhead", v->LookAhead);
        }
        if (auto* s = dynamic_cast<TppSystemVariable*>(&c))
            l.le("VarType", s->VarType,
                 {"vtDate", "vtDateTime", "vtDocumentName", "vtPrintDateTime", "vtPageCount",
                  "vtPageSet", "vtPageSetDesc", "vtPageNo", "vtPageNoDesc", "vtTime", "vtCopyNo",
                  "vtCopyNoDesc", "vtSearchDesc"});
        if (auto* g = dynamic_cast<TppCustomGraphic*>(&c)) {
            Leitor caneta = l.objeto("Pen");
            caneta.le("Color", g->Pen.Color);
            caneta.le("Style", g->Pen.Style, EstilosDeCaneta);
            caneta.le("Width", g->Pen.Width);
            caneta.fim();
            l.le("ParentHeight", g->ParentHeight);
            l.le("ParentWidth", g->ParentWidth);
            l.le("StretchWithParent", g->StretchWithParent);
        }
        if (auto* linha = dynamic_cast<TppLine*>(&c)) {
            l.le("Position", linha->Position,
                 {"lpTop", "lpBottom", "lpLeft", "lpRight", "lpDiagLeft", "lpDiagRight"});
            l.le("Style", linha->Style, {"lsSingle", "lsDouble"});
            l.le("Weight", linha->Weight);
        }
        if (auto* s = dynamic_cast<TppShape*>(&c)) {
            l.le("Shape", s->Shape,
                 {"stRectangle", "stSquare", "stRoundRect", "stRoundSquare", "stEllipse",
                  "stCircle"});
            Leitor pincel = l.objeto("Brush");
            pincel.le("Color", s->Brush.Color);
            pincel.le("Style", s->Brush.Style, {"bsSolid", "bsClear"});
            pincel.fim();
        }
        if (auto* e = dynamic_cast<TppStretchable*>(&c)) {
            l.le("mmBottomOffset", e->mmBottomOffset);
            l.le("mmOverFlowOffset", e->mmOverFlowOffset);
            l.le("mmStopPosition", e->mmStopPosition);
            l.le("KeepTogether", e->KeepTogether);
            QString relativo;
            l.le("ShiftRelativeTo", relativo);
            if (!relativo.isEmpty())
                ajustes_.push_back([this, e, relativo, l] {
                    e->ShiftRelativeTo = principal_->componente(relativo);
                    if (!e->ShiftRelativeTo)
                        l.erro(QStringLiteral("ShiftRelativeTo"),
                               QStringLiteral("componente \"%1\" inexistente").arg(relativo));
                });
        }
        if (auto* m = dynamic_cast<TppMemo*>(&c)) {
            l.le("Lines", m->Lines);
            l.le("CharWrap", m->CharWrap);
            l.le("Stretch", m->Stretch);
            l.le("mmLeading", m->mmLeading);
        }
        if (auto* t = dynamic_cast<TppDBRichText*>(&c)) {
            lePipelineOpcional(l, t->DataPipeline);
            l.le("DataField", t->DataField);
            l.le("ParentDataPipeline", t->ParentDataPipeline);
            l.le("mmLeftMargin", t->mmLeftMargin);
        }
        if (auto* s = dynamic_cast<TppSubReport*>(&c)) {
            l.le("PrintBehavior", s->PrintBehavior, {"pbChild", "pbSection", "pbFixed"});
            l.le("ParentWidth", s->ParentWidth);
            l.le("ParentPrinterSetup", s->ParentPrinterSetup);
            l.le("ResetPageNo", s->ResetPageNo);
            l.le("TraverseAllData", s->TraverseAllData);
            l.le("ExpandAll", s->ExpandAll);
            l.le("NewPrintJob", s->NewPrintJob);
            Leitor filho = l.objeto("Report");
            leRelatorio(filho, s->Report());
            filho.fim();
        }
        l.fim();
    }

    void leAparencia(Leitor& l, TppAparenciaDeTexto& a) {
        Leitor f = l.objeto("Font");
        f.le("Name", a.Font.nome);
        f.le("Size", a.Font.tamanho);
        f.leConjunto("Style", {{"fsBold", &a.Font.negrito},
                               {"fsItalic", &a.Font.italico},
                               {"fsUnderline", &a.Font.sublinhado},
                               {"fsStrikeOut", &a.Font.riscado}});
        f.le("Color", a.Font.cor);
        int conjuntoDeCaracteres = 0; // texts here are Unicode: the charset changes nothing
        f.le("Charset", conjuntoDeCaracteres);
        f.fim();
        l.le("TextAlignment", a.TextAlignment, Alinhamentos);
        l.le("Transparent", a.Transparent);
        l.le("Color", a.Color);
        Leitor borda = l.objeto("Border");
        borda.leConjunto("BorderPositions", {{"bpLeft", &a.Border.bpLeft},
                                             {"bpTop", &a.Border.bpTop},
                                             {"bpRight", &a.Border.bpRight},
                                             {"bpBottom", &a.Border.bpBottom}});
        borda.le("Visible", a.Border.Visible);
        borda.le("Color", a.Border.Color);
        borda.le("Weight", a.Border.Weight);
        borda.le("Style", a.Border.Style, EstilosDeCaneta);
        borda.fim();
    }

    // Groups are named before or after the components that name them: resolved at the end,
    // in the component's own report.
    void grupoDepois(Leitor& l, const QString& chave, TppBand& b, TppGroup*& destino) {
        QString nome;
        l.le(chave, nome);
        if (nome.isEmpty())
            return;
        ajustes_.push_back([&b, &destino, nome, chave, l] {
            destino = b.Report()->grupo(nome);
            if (!destino)
                l.erro(chave, QStringLiteral("grupo \"%1\" inexistente").arg(nome));
        });
    }

    const QString& origem_;
    TppReport* principal_ = nullptr;
    std::vector<std::function<void()>> ajustes_;
};

} // namespace

std::unique_ptr<TppReport> leLayout(const QByteArray& json, const QString& origem) {
    QJsonParseError falha;
    const QJsonDocument documento = QJsonDocument::fromJson(json, &falha);
    if (falha.error != QJsonParseError::NoError)
        throw Erro(QStringLiteral("Layout \"%1\": JSON inválido na posição %2 (%3).")
                       .arg(origem)
                       .arg(falha.offset)
                       .arg(falha.errorString()));
    if (!documento.isObject())
        throw Erro(
            QStringLiteral("Layout \"%1\": o arquivo deve conter um objeto JSON.").arg(origem));
    return Carregador(origem).carrega(documento.object());
}

std::unique_ptr<TppReport> carregaLayout(const QString& arquivo) {
    QFile f(arquivo);
    if (!f.open(QIODevice::ReadOnly))
        throw Erro(QStringLiteral("Não foi possível abrir o layout \"%1\": %2.")
                       .arg(arquivo, f.errorString()));
    return leLayout(f.readAll(), arquivo);
}

} // namespace nq
