#include "app/plotpanel.h"

#include "app/plotchart.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>
#include <QtCharts/QChartView>

namespace korvanta::ui {

PlotPanel::PlotPanel(UserInteraction& interaction, QWidget* parent) : QWidget(parent), interaction_(interaction)
{
    setObjectName(QStringLiteral("PlotPanel"));
    view_ = new QChartView(BuildChart(data_).release(), this);
    view_->setObjectName(QStringLiteral("PlotView"));
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setMinimumHeight(300);

    save_ = new QPushButton(tr("保存图形…"), this);
    save_->setObjectName(QStringLiteral("SavePlot"));
    save_->setToolTip(tr("把图形保存为PNG图片或SVG矢量图"));
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
    QChart* old = view_->chart();
    view_->setChart(BuildChart(Shown()).release());
    delete old;
    save_->setEnabled(plot::HasContent(Shown()));
}

bool PlotPanel::WritePlot(const QString& path, bool svg) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    const bool drawn = svg ? WritePlotSvg(Shown(), kPlotFileSize, &file, tr("Korvanta 统计图"))
                           : RenderPlot(Shown(), kPlotFileSize, 2).save(&file, "PNG");
    if (!drawn) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

void PlotPanel::SavePlot()
{
    const QString filters = tr("PNG 图片(*.png);;SVG 矢量图(*.svg)");
    const std::optional<FileChoice> chosen =
        interaction_.ChooseFileToSaveAs(window(), {tr("保存图形"), QString(), filters});
    if (!chosen) return;
    QString path = chosen->path;
    // The name's own extension decides; without one, the selected type.
    bool svg = path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive);
    if (!svg && !path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) {
        svg = chosen->filter == 1;
        path += svg ? QStringLiteral(".svg") : QStringLiteral(".png");
    }
    const QString notice = tr("提示");
    if (WritePlot(path, svg))
        interaction_.ShowMessage(window(), notice, tr("图形保存成功！"));
    else
        interaction_.ShowMessage(window(), notice, tr("图形保存失败，请检查文件夹是否存在以及是否有写入权限。"));
}

} // namespace korvanta::ui
