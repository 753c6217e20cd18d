#include "resultsview/powerpanel.h"

#include "resultsview/powertext.h"
#include "stats/numbertext.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <limits>

namespace korvanta::ui {

using stats::power::Test;

namespace {

// A typed number: "0.05", ".8", "80%", "−1.5" (the minus sign of the
// figures, too); empty when the text is not one.
std::optional<double> TypedNumber(const QString& text)
{
    QString plain = text.trimmed();
    plain.replace(QChar(0x2212), QLatin1Char('-'));
    double scale = 1;
    if (plain.endsWith(QLatin1Char('%')) || plain.endsWith(QChar(0xFF05))) {
        plain.chop(1);
        scale = 0.01;
    }
    const auto value = stats::ParseDouble(plain.trimmed().toStdString());
    if (!value) return std::nullopt;
    return *value * scale;
}

QString Caption(Test test, int field)
{
    switch (field) {
    case 0:
        return test == Test::Paired ? PowerPanel::tr("差值均数") : PowerPanel::tr("均数差 X1 − X2");
    case 1:
        return test == Test::Paired ? PowerPanel::tr("差值标准差") : PowerPanel::tr("合并标准差");
    case 2:
        return PowerPanel::tr("例数比 n2/n1");
    case 3:
        return PowerPanel::tr("相关系数 r");
    case 4:
        return PowerPanel::tr("试验组阳性率 p1");
    case 5:
        return PowerPanel::tr("对照组阳性率 p2");
    case 6:
        return QStringLiteral("b/n");
    case 7:
        return QStringLiteral("c/n");
    }
    return {};
}

} // namespace

PowerPanel::PowerPanel(QWidget* parent) : QGroupBox(tr("样本量与检验效能"), parent)
{
    setObjectName(QStringLiteral("PowerSection"));
    const auto box = [this](const char* name, const QString& text, const QString& tip) {
        auto* edit = new QLineEdit(text, this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setToolTip(tip);
        edit->setMaximumWidth(90);
        return edit;
    };
    alpha_ = box("PowerAlpha", QStringLiteral("0.05"), tr("双侧检验水准，如 0.05"));
    target_ = box("PowerTarget", QStringLiteral("0.80"), tr("希望达到的检验效能，如 0.80 或 90%"));
    static constexpr const char* kFieldNames[FieldCount] = {"PowerDifference", "PowerSd", "PowerRatio", "PowerR",
                                                            "PowerP1",         "PowerP2", "PowerP10",   "PowerP01"};
    for (int f = 0; f < FieldCount; ++f) {
        EffectField& field = fields_[static_cast<std::size_t>(f)];
        field.caption = new QLabel(this);
        field.edit = box(kFieldNames[f], QString(), tr("效应大小：默认取自当前数据，可修改"));
        field.caption->hide();
        field.edit->hide();
        connect(field.edit, &QLineEdit::textChanged, this, [this, f] {
            if (prefilling_) return;
            fields_[static_cast<std::size_t>(f)].edited = true;
            Recompute();
        });
    }
    for (QLineEdit* setting : {alpha_, target_})
        connect(setting, &QLineEdit::textChanged, this, [this] { Recompute(); });

    auto* useData = new QPushButton(tr("用当前数据"), this);
    useData->setObjectName(QStringLiteral("PowerUseData"));
    useData->setToolTip(tr("效应大小重新取自当前数据"));
    connect(useData, &QPushButton::clicked, this, &PowerPanel::UseData);

    const auto result = [this](const char* name) {
        auto* label = new QLabel(this);
        label->setObjectName(QString::fromLatin1(name));
        label->setWordWrap(true);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return label;
    };
    required_ = result("PowerRequired");
    requiredCorrected_ = result("PowerRequiredCc");
    achieved_ = result("PowerAchieved");
    method_ = result("PowerMethod");
    method_->setStyleSheet(QStringLiteral("color: gray"));
    requiredCorrectedCaption_ = new QLabel(tr("连续性校正："), this);

    auto* settings = new QGridLayout;
    settings->addWidget(new QLabel(tr("检验水准 α（双侧）"), this), 0, 0);
    settings->addWidget(alpha_, 0, 1);
    settings->addWidget(new QLabel(tr("目标检验效能 1 − β"), this), 0, 2);
    settings->addWidget(target_, 0, 3);
    settings->addWidget(useData, 0, 4);
    settings->setColumnStretch(5, 1);
    effectGrid_ = new QGridLayout;
    effectGrid_->setColumnStretch(4, 1);

    auto* results = new QGridLayout;
    results->addWidget(new QLabel(tr("所需样本量："), this), 0, 0, Qt::AlignTop);
    results->addWidget(required_, 0, 1);
    results->addWidget(requiredCorrectedCaption_, 1, 0, Qt::AlignTop);
    results->addWidget(requiredCorrected_, 1, 1);
    results->addWidget(new QLabel(tr("现有样本的检验效能："), this), 2, 0, Qt::AlignTop);
    results->addWidget(achieved_, 2, 1);
    results->addWidget(method_, 3, 0, 1, 2);
    results->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(settings);
    layout->addLayout(effectGrid_);
    layout->addLayout(results);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
}

std::vector<PowerPanel::Field> PowerPanel::FieldsOfTest() const
{
    switch (test_) {
    case Test::TwoSample:
        return {Difference, Sd, Ratio};
    case Test::Paired:
        return {Difference, Sd};
    case Test::Correlation:
        return {R};
    case Test::FourFold:
        return {P1, P2, Ratio};
    case Test::PairedTable:
        return {P10, P01};
    }
    return {};
}

void PowerPanel::LayOutFields()
{
    for (EffectField& field : fields_) {
        effectGrid_->removeWidget(field.caption);
        effectGrid_->removeWidget(field.edit);
        field.caption->hide();
        field.edit->hide();
        field.edited = false;
    }
    const std::vector<Field> shown = FieldsOfTest();
    for (std::size_t i = 0; i < shown.size(); ++i) {
        EffectField& field = fields_[shown[i]];
        field.caption->setText(Caption(test_, shown[i]));
        const int row = static_cast<int>(i / 2), column = static_cast<int>(i % 2) * 2;
        effectGrid_->addWidget(field.caption, row, column);
        effectGrid_->addWidget(field.edit, row, column + 1);
        field.caption->show();
        field.edit->show();
    }
    const bool corrected = test_ == Test::FourFold;
    requiredCorrectedCaption_->setVisible(corrected);
    requiredCorrected_->setVisible(corrected);
}

void PowerPanel::ShowData(stats::TestMode mode, const stats::DetailsInput& input)
{
    if (mode != mode_) {
        mode_ = mode;
        test_ = stats::power::TestOfMode(mode);
        LayOutFields();
    }
    data_ = stats::power::EffectOfData(mode, input);
    fields_[Difference].fromData = fields_[R].fromData = fields_[P1].fromData = fields_[P10].fromData = data_.first;
    fields_[Sd].fromData = fields_[P2].fromData = fields_[P01].fromData = data_.second;
    fields_[Ratio].fromData = data_.ratio;
    Prefill();
    Recompute();
}

void PowerPanel::UseData()
{
    for (EffectField& field : fields_) field.edited = false;
    Prefill();
    Recompute();
}

void PowerPanel::Prefill()
{
    prefilling_ = true;
    for (EffectField& field : fields_) {
        if (!field.edited) field.edit->setText(field.fromData ? QString::number(*field.fromData, 'g', 6) : QString());
    }
    prefilling_ = false;
}

std::optional<double> PowerPanel::ValueOf(Field field) const
{
    const EffectField& f = fields_[field];
    // The data's own value at full precision while the user has not
    // changed the text it shows rounded.
    if (!f.edited) return f.fromData;
    if (f.edit->text().trimmed().isEmpty()) return std::nullopt;
    // Text that is no number is no valid effect, not a missing one.
    return TypedNumber(f.edit->text()).value_or(std::numeric_limits<double>::quiet_NaN());
}

void PowerPanel::Recompute()
{
    if (!mode_) return;
    stats::power::Effect effect = data_;
    switch (test_) {
    case Test::TwoSample:
    case Test::Paired:
        effect.first = ValueOf(Difference);
        effect.second = ValueOf(Sd);
        break;
    case Test::Correlation:
        effect.first = ValueOf(R);
        break;
    case Test::FourFold:
        effect.first = ValueOf(P1);
        effect.second = ValueOf(P2);
        break;
    case Test::PairedTable:
        effect.first = ValueOf(P10);
        effect.second = ValueOf(P01);
        break;
    }
    if (test_ == Test::TwoSample || test_ == Test::FourFold) {
        effect.ratio = ValueOf(Ratio); // none: equal groups
    }
    const double nan = std::numeric_limits<double>::quiet_NaN();
    plan_ = stats::power::MakePlan(test_, effect, TypedNumber(alpha_->text()).value_or(nan),
                                   TypedNumber(target_->text()).value_or(nan));
    const power::Texts texts = power::Describe(test_, plan_, data_);
    required_->setText(texts.required);
    requiredCorrected_->setText(texts.requiredCorrected);
    achieved_->setText(texts.achieved);
    method_->setText(tr("方法：") + texts.method);
    emit Recomputed();
}

std::vector<details::Line> PowerPanel::Lines() const
{
    if (!mode_) return {};
    std::vector<std::pair<QString, QString>> effect;
    for (Field field : FieldsOfTest())
        effect.emplace_back(Caption(test_, field), fields_[field].edit->text().trimmed());
    return power::Lines(test_, plan_, data_, effect);
}

stats::FigureList PowerPanel::Figures() const
{
    if (!mode_) return {};
    return stats::power::Figures(test_, plan_);
}

plot::PlotData PowerPanel::Curve() const
{
    if (!mode_) return {};
    return power::Curve(test_, plan_, data_);
}

} // namespace korvanta::ui
