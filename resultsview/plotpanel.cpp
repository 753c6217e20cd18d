#include "resultsview/plotpanel.h"

#include "resultsview/plotchart.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>
#include <qcustomplot.h>

#include <algorithm>
#include <vector>

namespace korvanta::ui {

PlotPanel::PlotPanel(UserInteraction& interaction, QWidget* parent) : QWidget(parent), interaction_(interaction)
{
    setObjectName(QStringLiteral("PlotPanel"));
    view_ = new QCustomPlot(this);
    view_->setObjectName(QStringLiteral("PlotView"));
    view_->setMinimumHeight(300);
    BuildPlot(*view_, data_);

    save_ = new QPushButton(tr("保存图形…"), this);
    save_->setObjectName(QStringLiteral("SavePlot"));
#ifdef KORVANTA_PLOT_SVG
    save_->setToolTip(tr("把图形保存为PNG图片、PDF文档或SVG矢量图"));
#else
    save_->setToolTip(tr("把图形保存为PNG图片或PDF文档"));
#endif
    connect(save_, &QPushButton::clicked, this, &PlotPanel::SavePlot);

    auto* showData = new QPushButton(tr("数据图"), this);
    showData->setObjectName(QStringLiteral("PlotShowData"));
    showPower_ = new QPushButton(tr("检验效能曲线"), this);
    showPower_->setObjectName(QStringLiteral("PlotShowPower"));
    showPower_->setToolTip(tr("检验效能随样本量变化的曲线"));
    auto* choice = new QButtonGroup(this);
    for (QPushButton* button : {showData, showPower_}) {
        button->setCheckable(true);
        choice->addButton(button);
    }
    showData->setChecked(true);
    connect(showPower_, &QPushButton::toggled, this, [this] { Redraw(); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(showData);
    buttons->addWidget(showPower_);
    buttons->addStretch();
    buttons->addWidget(save_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_, 1);
    layout->addLayout(buttons);
}

void PlotPanel::ShowPlot(stats::TestMode mode, const stats::DetailsInput& input, const details::GroupNames& names)
{
    data_ = plot::MakePlotData(mode, input, details::GroupName(names, 0).toStdString(),
                               details::GroupName(names, 1).toStdString());
    if (!showPower_->isChecked()) Redraw();
}

void PlotPanel::ShowPowerCurve(const plot::PlotData& curve)
{
    curve_ = curve;
    if (showPower_->isChecked()) Redraw();
}

const plot::PlotData& PlotPanel::Shown() const { return showPower_->isChecked() ? curve_ : data_; }

void PlotPanel::Redraw()
{
    // A plot is built once: the new one takes the old one's place.
    auto* drawn = new QCustomPlot(this);
    drawn->setObjectName(QStringLiteral("PlotView"));
    drawn->setMinimumHeight(300);
    drawn->setAccessibleName(view_->accessibleName()); // as the window named the first
    BuildPlot(*drawn, Shown());
    delete layout()->replaceWidget(view_, drawn);
    delete view_;
    view_ = drawn;
    save_->setEnabled(plot::HasContent(Shown()));
}

namespace {

struct FileType {
    PlotPanel::FileKind kind;
    QString extension;
};

// The types the save dialog offers, in its order.
std::vector<FileType> FileTypes()
{
    std::vector<FileType> types{{PlotPanel::FileKind::Png, QStringLiteral(".png")},
                                {PlotPanel::FileKind::Pdf, QStringLiteral(".pdf")}};
#ifdef KORVANTA_PLOT_SVG
    types.push_back({PlotPanel::FileKind::Svg, QStringLiteral(".svg")});
#endif
    return types;
}

} // namespace

bool PlotPanel::WritePlot(const QString& path, FileKind kind) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    bool drawn = false;
    switch (kind) {
    case FileKind::Png:
        drawn = WritePlotPng(Shown(), kPlotFileSize, &file);
        break;
    case FileKind::Pdf:
        drawn = WritePlotPdf(Shown(), kPlotFileSize, &file, tr("Korvanta 统计图"));
        break;
    case FileKind::Svg:
#ifdef KORVANTA_PLOT_SVG
        drawn = WritePlotSvg(Shown(), kPlotFileSize, &file, tr("Korvanta 统计图"));
#endif
        break;
    }
    if (!drawn) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

void PlotPanel::SavePlot()
{
    const std::vector<FileType> types = FileTypes();
    QStringList filters;
    for (const FileType& type : types) {
        switch (type.kind) {
        case FileKind::Png:
            filters << tr("PNG 图片(*.png)");
            break;
        case FileKind::Pdf:
            filters << tr("PDF 文档(*.pdf)");
            break;
        case FileKind::Svg:
            filters << tr("SVG 矢量图(*.svg)");
            break;
        }
    }
    const std::optional<FileChoice> chosen =
        interaction_.ChooseFileToSaveAs(window(), {tr("保存图形"), QString(), filters.join(QStringLiteral(";;"))});
    if (!chosen) return;
    QString path = chosen->path;
    // The name's own extension decides; without one, the selected type.
    const auto named = std::find_if(types.begin(), types.end(), [&path](const FileType& type) {
        return path.endsWith(type.extension, Qt::CaseInsensitive);
    });
    FileKind kind = FileKind::Png;
    if (named != types.end()) {
        kind = named->kind;
    } else {
        const std::size_t selected = chosen->filter >= 0 ? static_cast<std::size_t>(chosen->filter) : 0;
        const FileType& type = types[selected < types.size() ? selected : 0];
        kind = type.kind;
        path += type.extension;
    }
    const QString notice = tr("提示");
    if (WritePlot(path, kind))
        interaction_.ShowMessage(window(), notice, tr("图形保存成功！"));
    else
        interaction_.ShowMessage(window(), notice, tr("图形保存失败，请检查文件夹是否存在以及是否有写入权限。"));
}

} // namespace korvanta::ui
