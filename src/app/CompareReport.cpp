#include "CompareReport.h"

#include "CompareRowsModel.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QSaveFile>
#include <QTextDocument>

using namespace appcore::Compare;

namespace CompareReport {

namespace {

// tr() of the context "CompareReport", so that lupdate files the texts there.
struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(CompareReport)
};

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n'))
        && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString moduleName(const Module &module, bool onBus)
{
    if (!onBus)
        return Texts::tr("第%1行 %2").arg(module.line).arg(module.typeName);
    if (module.local)
        return Texts::tr("本地模块 %1").arg(module.typeName);
    if (module.station == 0)
        return Texts::tr("未设定站号 %1 (%2)").arg(module.typeName, QString::fromLatin1(module.uid));
    return Texts::tr("站号%1 %2").arg(module.station).arg(module.typeName);
}

} // namespace

QStringList overlapLines(const Result &result)
{
    QStringList lines;
    for (const Overlap &o : result.overlaps) {
        const Side &side = o.onBus ? result.bus : result.configuration;
        lines << Texts::tr("%1: %2 与 %3 的%4 %5..%6 重叠")
                     .arg(o.onBus ? Texts::tr("总线上") : Texts::tr("组态中"), moduleName(side.modules.at(o.first), o.onBus),
                          moduleName(side.modules.at(o.second), o.onBus), o.input ? Texts::tr("输入") : Texts::tr("输出"))
                     .arg(o.start)
                     .arg(o.end);
    }
    return lines;
}

QStringList settingsLines(const Result &result)
{
    QStringList lines;
    for (const FieldValue &v : result.settings) {
        if (v.differs)
            lines << Texts::tr("适配器参数 %1: 组态 %2, 总线 %3").arg(v.name, v.configured, v.bus);
    }
    if (!result.settings.isEmpty() && lines.isEmpty())
        lines << Texts::tr("适配器参数一致");
    return lines;
}

QString countsLine(const Result &result)
{
    QStringList parts;
    for (int k = 0; k < kKinds; ++k)
        parts << QStringLiteral("%1 %2").arg(kindName(Kind(k))).arg(result.count(Kind(k)));
    return parts.join(QLatin1String(", "));
}

QByteArray csv(const CompareRowsModel &model)
{
    QStringList lines;
    QStringList header;
    for (int column = 0; column < CompareRowsModel::ColumnCount; ++column)
        header << csvField(model.headerText(column));
    lines << header.join(QLatin1Char(','));
    for (int line = 0; line < model.rowCount(); ++line) {
        QStringList cells;
        for (int column = 0; column < CompareRowsModel::ColumnCount; ++column)
            cells << csvField(model.cellText(model.resultRow(line), column));
        lines << cells.join(QLatin1Char(','));
    }
    return QByteArray(kUtf8Bom) + (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

std::optional<QString> writeCsv(const QString &path, const CompareRowsModel &model)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        const QByteArray bytes = csv(model);
        if (file.write(bytes) == bytes.size() && file.commit())
            return std::nullopt;
    }
    return file.errorString();
}

QString html(const CompareRowsModel &model, const Heading &heading)
{
    const Result &result = model.result();
    QString page = QStringLiteral("<html><body style=\"font-size:9pt\">");
    page += QStringLiteral("<h2>%1</h2>").arg(Texts::tr("组态对比报告").toHtmlEscaped());
    page += QStringLiteral("<table cellspacing=\"0\" cellpadding=\"2\">");
    const auto info = [&page](const QString &name, const QString &value) {
        page += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>").arg(name.toHtmlEscaped(), value.toHtmlEscaped());
    };
    info(Texts::tr("日期"), heading.time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    info(Texts::tr("适配器MAC"), heading.adapterSerial);
    for (const auto &item : heading.identity)
        info(item.first, item.second);
    info(Texts::tr("对比来源"), heading.source);
    info(Texts::tr("结果"), countsLine(result));
    if (model.onlyDifferences())
        info(Texts::tr("显示"), Texts::tr("只显示差异 (%1/%2行)").arg(model.rowCount()).arg(result.rows.size()));
    page += QStringLiteral("</table><br/>");

    page += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\"><tr>");
    for (int column = 0; column < CompareRowsModel::ColumnCount; ++column)
        page += QStringLiteral("<th bgcolor=\"#ECEFF1\">%1</th>").arg(model.headerText(column).toHtmlEscaped());
    page += QStringLiteral("</tr>");
    for (int line = 0; line < model.rowCount(); ++line) {
        const int row = model.resultRow(line);
        const QString rowColor = CompareRowsModel::kindColor(result.rows.at(row).kind).name();
        page += QStringLiteral("<tr>");
        for (int column = 0; column < CompareRowsModel::ColumnCount; ++column) {
            const bool differs = model.cellDiffers(row, column);
            const QString text = model.cellText(row, column).toHtmlEscaped();
            page += QStringLiteral("<td bgcolor=\"%1\">%2</td>")
                        .arg(differs ? CompareRowsModel::differingColor().name() : rowColor,
                             differs ? QStringLiteral("<b>%1</b>").arg(text) : text);
        }
        page += QStringLiteral("</tr>");
    }
    page += QStringLiteral("</table>");
    const QStringList notes = overlapLines(result) + settingsLines(result);
    if (!notes.isEmpty()) {
        page += QStringLiteral("<p>");
        for (const QString &note : notes)
            page += note.toHtmlEscaped() + QStringLiteral("<br/>");
        page += QStringLiteral("</p>");
    }
    page += QStringLiteral("<p>%1</p></body></html>").arg(Texts::tr("差异单元格: 组态值 / 总线值").toHtmlEscaped());
    return page;
}

bool printPdf(const QString &path, const CompareRowsModel &model, const Heading &heading)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
    printer.setDocName(Texts::tr("组态对比报告"));
    printer.setCreator(QStringLiteral("TarnBUSTesterTool"));
    QTextDocument document;
    document.setHtml(html(model, heading));
    document.print(&printer);
    return printer.printerState() != QPrinter::Error && QFileInfo::exists(path);
}

} // namespace CompareReport
