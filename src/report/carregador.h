#pragma once

#include "report/modelo.h"

#include <QByteArray>
#include <QString>
#include <memory>

// Layout description files (JSON), one per report, usually compiled in as a Qt resource
// and read when the owning window is created. Keys are the model's property names and
// enumeration values are written as the model names them; a key left out keeps the
// model's default. An unknown key or value is an error (it is most likely a typo).
//
//   {
//     "Name": "relatorio1",
//     "PrinterSetup": {"PaperName": "Carta", "PaperSize": 1, "mmPaperWidth": 216000,
//                      "mmPaperHeight": 279000, "Orientation": "poPortrait",
//                      "mmMarginTop": 6350, "mmMarginBottom": 6350, "mmMarginLeft": 6350,
//                      "mmMarginRight": 6350, "PrinterName": "Default", "BinName": "Default",
//                      "DocumentName": "Report", "Copies": 1, "Collation": false,
//                      "SaveDeviceSettings": false},
//     "DeviceType": "Screen", "AllowPrintToFile": true, "AllowPrintToArchive": false,
//     "AutoStop": false, "PassSetting": "psOnePass", "NoDataBehaviors": ["ndBlankPage"],
//     "Columns": 1, "mmColumnWidth": 0, "PageLimit": 0, "Language": "lgPortugueseBrazil",
//     "PreviewFormSettings": {"WindowState": "wsMaximized", "ZoomSetting": "zsPageWidth",
//                             "ZoomPercentage": 100},
//     "ShowPrintDialog": true, "ShowCancelDialog": true, "ModalPreview": true,
//     "ModalCancelDialog": true, "EmailSettings": {"ReportFormat": "PDF"},
//     "OutlineSettings": {"Enabled": false, "Visible": false},
//     "TextSearchSettings": {"Enabled": false, "DefaultString": "<FindText>"},
//     "Units": "utMillimeters", "Parameters": [],
//     "Pipelines": [{"Name": "ppDBPipeline1", "UserName": "DBPipeline1",
//                    "OpenDataSource": false, "CloseDataSource": true,
//                    "SkipWhenNoRecords": false, "RefreshAfterPost": true,
//                    "AutoCreateFields": true, "MoveBy": 1, "RangeBegin": "rbFirstRecord",
//                    "RangeEnd": "reLastRecord", "RangeEndCount": 0,
//                    "MasterDataPipeline": "", "MasterFieldLinks": "",
//                    "Fields": [{"FieldName": "NOME", "FieldAlias": "NOME", "Position": 0,
//                                "DataType": "dtString", "FieldLength": 60,
//                                "DisplayWidth": 60, "Alignment": "taLeftJustified",
//                                "Searchable": false, "Sortable": false}]}],
//     "DataPipeline": "ppDBPipeline1",
//     "Bands": [ <band>, ... ],
//     "Groups": [ <group>, ... ]
//   }
//
// The tables are bound in code (TppReport::ligaTabela), not in the file.
//
// <band>: {"Type": "Header" | "Title" | "ColumnHeader" | "Detail" | "ColumnFooter" |
//          "Summary" | "Footer", "Name", "mmHeight", "Visible", "mmBottomOffset",
//          "mmPrintPosition", "PrintHeight": "phStatic" | "phDynamic",
//          detail only: "BandsPerRecord", "PrintCount"; summary only: "AlignToBottom";
//          "Components": [ <component>, ... ]}
// <group>: {"Name", "BreakName", "BreakType", "DataPipeline", "KeepTogether", "NewPage",
//           "ResetPageNo", "ReprintOnSubsequentPage", "HeaderForOrphanedFooter",
//           "mmNewPageThreshold", "mmNewColumnThreshold", "StartOnOddPage",
//           "Header": <band without Type>, "Footer": <band without Type, may have
//           "HideWhenOneDetail">}
// <component>: {"Class": "TppLabel" | "TppDBText" | "TppDBCalc" | "TppVariable" |
//               "TppSystemVariable" | "TppLine" | "TppShape" | "TppMemo" |
//               "TppDBRichText" | "TppSubReport",
//   every class: "Name", "UserName", "mmLeft", "mmTop", "mmWidth", "mmHeight", "Visible",
//                "Anchors": ["atLeft", "atTop", "atRight", "atBottom"];
//   texts, memo, rich text: "Font": {"Name": "Roman 20cpi", "Size": 7,
//                "Style": ["fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"],
//                "Color": "clBlack" or "#rrggbb", "Charset": 0},
//                "TextAlignment", "Transparent", "Color",
//                "Border": {"BorderPositions": ["bpLeft", "bpTop", "bpRight", "bpBottom"],
//                           "Visible", "Color", "Weight", "Style"};
//   texts: "AutoSize", "WordWrap", "HyperlinkColor";
//   TppLabel: "Caption";
//   TppDBText, TppDBCalc: "DataPipeline", "DataField", "DisplayFormat", "BlankWhenZero",
//                "SuppressRepeatedValues", "ParentDataPipeline", "ResetGroup" (a group's
//                Name); TppDBCalc also "DBCalcType";
//   TppVariable: "DataType", "DisplayFormat", "BlankWhenZero", "CalcOrder", "CalcType",
//                "ResetType", "ResetComponent" (a group's Name), "LookAhead";
//   TppSystemVariable: "VarType", "DisplayFormat", "BlankWhenZero";
//   TppLine, TppShape: "Pen": {"Color", "Style": "psSolid" | "psDot" ..., "Width"},
//                "ParentHeight", "ParentWidth", "StretchWithParent"; TppLine: "Position",
//                "Style": "lsSingle" | "lsDouble", "Weight" (points); TppShape: "Shape",
//                "Brush": {"Color", "Style": "bsSolid" | "bsClear"};
//   stretchables: "mmBottomOffset", "mmOverFlowOffset", "mmStopPosition", "KeepTogether",
//                "ShiftRelativeTo" (a component's Name);
//   TppMemo: "Lines": [...], "CharWrap", "Stretch", "mmLeading";
//   TppDBRichText: "DataPipeline", "DataField", "ParentDataPipeline", "mmLeftMargin" (the
//                field holds RTF, HTML or plain text; it prints whole, keeping bold, italic,
//                underline and paragraph alignment, and grows even a static band);
//   TppSubReport: "PrintBehavior", "ParentWidth", "ParentPrinterSetup", "ResetPageNo",
//                "TraverseAllData", "ExpandAll", "NewPrintJob",
//                "Report": {"Name", "DataPipeline", "AutoStop", "Columns", "mmColumnWidth",
//                           "PageLimit", "Bands", "Groups"}}
// Pipelines are declared once, in the main report; subreports and components name them. A
// data component that names its "DataPipeline" reads it in whatever band it lies; one that
// names none reads its band's report's pipeline ("ParentDataPipeline" true, the default).
//
// Read but refused when the report runs, naming the property, because the engine does not
// lay them out: "PassSetting": "psTwoPass", "Columns" above 1 (report or subreport),
// "MasterDataPipeline" and "MasterFieldLinks" on a pipeline, a group's "StartOnOddPage" and
// "ResetPageNo", a stretchable's "KeepTogether".
namespace nq {

// Reads a layout file (a path, or a resource path such as ":/layouts/anexo1.json").
// Throws nq::Erro naming the file and the faulty key.
std::unique_ptr<TppReport> carregaLayout(const QString& arquivo);

// Reads a layout from its JSON text; `origem` names it in error texts.
std::unique_ptr<TppReport> leLayout(const QByteArray& json, const QString& origem);

} // namespace nq
