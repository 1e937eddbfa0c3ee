#include <QTest>

#include "ui/my_progress_ctrl.h"
#include "ui/skin_palette.h"

using namespace tarnel;

class ProgressCtrlTest : public QObject {
    Q_OBJECT

  private slots:
    void barFill_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("lower");
        QTest::addColumn<int>("upper");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("filled");
        QTest::newRow("half of 455") << 455 << 0 << 100 << 50 << 227;
        QTest::newRow("empty") << 455 << 0 << 100 << 0 << 0;
        QTest::newRow("full") << 455 << 0 << 100 << 100 << 455;
        QTest::newRow("19 percent") << 455 << 0 << 100 << 19 << 86;
        QTest::newRow("thirds truncate") << 100 << 0 << 3 << 1 << 33;
        QTest::newRow("lower bound is not used") << 200 << 50 << 100 << 50 << 100;
        QTest::newRow("range maximum 0") << 455 << 0 << 0 << 50 << 0;
        QTest::newRow("negative range maximum") << 455 << 0 << -10 << -5 << 0;
        QTest::newRow("past the end stays in the track") << 455 << 0 << 100 << 250 << 455;
        QTest::newRow("negative position") << 455 << 0 << 100 << -20 << 0;
        QTest::newRow("huge numbers") << 300 << 0 << 2147483647 << 2147483647 << 300;
    }
    void barFill() {
        QFETCH(int, width);
        QFETCH(int, lower);
        QFETCH(int, upper);
        QFETCH(int, position);
        QFETCH(int, filled);
        CMyProgressCtrl bar;
        bar.resize(width, 9);
        bar.SetRange(lower, upper);
        bar.SetPos(position);
        const QImage shot = bar.grab().toImage();
        for (int y : {0, 8}) {
            int green = 0;
            while (green < width && shot.pixel(green, y) == palette::kBarFilled) {
                ++green;
            }
            QCOMPARE(green, filled);
            for (int x = filled; x < width; ++x) {
                QCOMPARE(shot.pixel(x, y), palette::kBarEmpty);
            }
        }
    }

    void fillFollowsTheWidth() {
        CMyProgressCtrl bar;
        bar.resize(100, 6);
        bar.SetRange(0, 100);
        bar.SetPos(40);
        QCOMPARE(bar.FilledWidth(), 40);
        bar.resize(455, 6);
        QCOMPARE(bar.FilledWidth(), 182);
    }
};

QTEST_MAIN(ProgressCtrlTest)
#include "progress_ctrl_test.moc"
