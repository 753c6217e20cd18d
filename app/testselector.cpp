#include "app/testselector.h"

#include "widgetkit/widgets.h"

namespace korvanta::ui {

QString TestCaption(TestMode mode)
{
    static const char* const captions[stats::kTestCount] = {
        QT_TRANSLATE_NOOP("korvanta::ui::TestSelector", "两样本均数t检验"),
        QT_TRANSLATE_NOOP("korvanta::ui::TestSelector", "配对资料t检验"),
        QT_TRANSLATE_NOOP("korvanta::ui::TestSelector", "直线相关与回归"),
        QT_TRANSLATE_NOOP("korvanta::ui::TestSelector", "计数资料卡方检验"),
        QT_TRANSLATE_NOOP("korvanta::ui::TestSelector", "配对资料卡方检验")};
    return TestSelector::tr(captions[stats::TestModeIndex(mode)]);
}

QString TestHint(TestMode mode)
{
    if (stats::UsesTable(mode)) return TestCaption(mode);
    return TestCaption(mode) + TestSelector::tr("（按回车键或“↓”键输入下一个数据）");
}

TestSelector::TestSelector(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("Frame2"));
    setGeometry(TwipsRect(60, 780, 2355, 2805));
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    for (int i = 0; i < stats::kTestCount; ++i) {
        auto* button = new QPushButton(TestCaption(stats::TestModeFromIndex(i)), this);
        button->setObjectName(ControlName("Command1", i));
        button->setGeometry(TwipsRect(140, 180 + 420 * i, 2065, 390));
        connect(button, &QPushButton::clicked, this, [this, i] { emit TestClicked(stats::TestModeFromIndex(i)); });
        buttons_[static_cast<std::size_t>(i)] = button;
    }
    tutorial_ = new QPushButton(tr("医学统计方法在线教程"), this);
    tutorial_->setObjectName(QStringLiteral("Command19"));
    tutorial_->setGeometry(TwipsRect(140, 2280, 2065, 390));
    tutorial_->setToolTip(tr("打开随程序安装的医学统计方法教程（无需联网）"));
    connect(tutorial_, &QPushButton::clicked, this, &TestSelector::TutorialClicked);
    ShowCurrent(TestMode::TwoSample);
}

void TestSelector::ShowCurrent(TestMode mode)
{
    for (QPushButton* button : buttons_) {
        QFont font = button->font();
        font.setBold(false);
        button->setFont(font);
    }
    QPushButton* current = Button(mode);
    QFont font = current->font();
    font.setBold(true);
    current->setFont(font);
}

} // namespace korvanta::ui
