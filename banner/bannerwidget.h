// The banner Picture3 right of the toolbar: one line at a time on a changing
// background, advanced by Timer1 every two seconds; a left click on it asks
// the window to open the home page.
#pragma once

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QString>
#include <QWidget>

class QTimer;

namespace korvanta::banner {

class BannerWidget : public QWidget {
    Q_OBJECT

public:
    static constexpr int kLineCount = 5;
    static constexpr int kWelcomeLine = 5;
    static constexpr int kTickMilliseconds = 2000;

    explicit BannerWidget(QWidget* parent = nullptr);

    // Line 1..4 are the feature lines, line 5 the welcome line.
    static QString LineText(int line);
    // Where the tick prints a line, in twips inside the banner.
    static QPoint LinePositionTwips(int line);
    // Where the window prints the welcome line when it loads.
    static QPoint WelcomePositionTwips();

    // The load step: the welcome line on green, white bold text.
    void PrintWelcome();
    // One step of the cycle: the next line with its position and colours.
    void Tick();
    // Starts Timer1, which calls Tick() every two seconds from then on.
    void StartAnimation();
    void StopAnimation();

    int Counter() const { return counter_; }
    QString CurrentLine() const { return line_; }
    QColor Background() const { return background_; }
    QColor TextColor() const { return textColor_; }
    QPoint TextPositionTwips() const { return positionTwips_; }

signals:
    void Clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Present(int line, QPoint positionTwips, QColor background, QColor text);

    QTimer* timer_ = nullptr;
    int counter_ = 0;
    QString line_;
    QPoint positionTwips_;
    QColor background_;
    QColor textColor_;
    bool pressed_ = false;
};

} // namespace korvanta::banner
