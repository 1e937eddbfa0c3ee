#include <QFontInfo>
#include <QFontMetrics>
#include <QTest>

#include "ui/skin_fonts.h"

using namespace tarnel;

class SkinFontsTest : public QObject {
    Q_OBJECT

  private slots:
    // The layouts were measured with fonts asked for by cell height; Chinese must show on Linux
    // too, where the Windows faces are missing.
    void fontsHaveTheirCellHeightAndChinese_data() {
        QTest::addColumn<QString>("face");
        QTest::addColumn<int>("height");
        QTest::newRow("ordinary label") << kLabelFace << 19;
        QTest::newRow("section heading") << kLabelFace << 21;
        QTest::newRow("dialog text") << kLabelFace << 25;
        QTest::newRow("version label") << kVersionFace << 14;
        QTest::newRow("button caption") << kButtonCaptionFace << 13;
    }
    void fontsHaveTheirCellHeightAndChinese() {
        QFETCH(QString, face);
        QFETCH(int, height);
        const QFont font = SkinFont(face, height);
        const QFontMetrics metrics(font);
        QVERIFY2(std::abs(metrics.height() - height) <= 1,
                 qPrintable(QString::number(metrics.height())));
        const QString chinese = QStringLiteral("安装到手机");
        for (const QChar c : chinese) {
            QVERIFY2(metrics.inFontUcs4(c.unicode()) ||
                         QFontMetrics(SkinFont(kLabelFace, height)).inFontUcs4(c.unicode()),
                     qPrintable(QFontInfo(font).family()));
        }
    }

    void labelFaceFallsBackToAnInstalledCjkFont() {
        const QFontInfo info(SkinFont(kLabelFace, 19));
        QVERIFY2(QFontMetrics(SkinFont(kLabelFace, 19)).inFontUcs4(U'微'),
                 qPrintable(info.family()));
    }

    void weightAndUnderlineAreKept() {
        const QFont font = SkinFont(kLabelFace, 19, 700, true);
        QCOMPARE(font.weight(), QFont::Bold);
        QVERIFY(font.underline());
    }
};

QTEST_MAIN(SkinFontsTest)
#include "skin_fonts_test.moc"
