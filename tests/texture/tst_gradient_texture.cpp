// The gradient window's "Apply To..." on the car: the item menu offers the file items, and the
// one chosen takes the committed gradient, which the movie then shows in that part.
#include "TemplateWindow.h"

#include "platform/Settings.h"
#include "texture/ItemMenu.h"
#include "tools/GradientWindow.h"

#include <QMenu>
#include <QPushButton>

class GradientTextureTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testing::useHome(m_home); }
    void cleanup() { texture::ItemMenu::setHandler({}); }

    void applyToGivesTheChosenPartTheGradient()
    {
        // Red on the left, blue on the right (slider 0), as last saved.
        platform::saveSetting(QStringLiteral("Gradient Settings"), QStringLiteral("Colour 0"), QString::number(0x0000FF));
        platform::saveSetting(QStringLiteral("Gradient Settings"), QStringLiteral("Colour 1"), QString::number(0xFF0000));
        platform::saveSetting(QStringLiteral("Gradient Settings"), QStringLiteral("Angle"), QStringLiteral("0"));
        QTemporaryDir user;
        const auto window = testing::startTemplate(QStringLiteral("Car.skrv"), user.path());
        window->show();
        QTest::mouseClick(window->gradientButton(), Qt::LeftButton);
        tools::GradientWindow* gradient = window->gradientWindow();
        QVERIFY(gradient && gradient->isVisible());

        QStringList offered;
        texture::ItemMenu::setHandler([&](QMenu& menu) -> QAction* {
            QAction* chosen = nullptr;
            for (QAction* action : menu.actions()) {
                if (action->isSeparator())
                    continue;
                offered.append(action->isEnabled() ? action->text() : QLatin1Char('(') + action->text() + QLatin1Char(')'));
                if (action->text() == QLatin1String("Door Decal"))
                    chosen = action;
            }
            return chosen;
        });
        QTest::mouseClick(gradient->applyToButton(), Qt::LeftButton);
        // With the gradient window up, colour items cannot be chosen; file items take its picture.
        QCOMPARE(offered, (QStringList{"(Paint)", "Door Decal", "Wheels"}));

        const QString texture = window->moviePlayer()->variable(QStringLiteral("decaltexture")).value_or(QString());
        QVERIFY2(texture.startsWith(window->textureFolder().path()), qPrintable(texture));
        QCOMPARE(QImage(texture).size(), QSize(256, 256));
        QVERIFY(window->hasUnsavedChanges());

        testing::playFrames(*window);
        const QImage shown = window->moviePlayer()->renderStage(QSize(512, 256));
        const QRgb left = shown.pixel(testing::CarDecal.left() + 12, testing::CarDecal.center().y());
        const QRgb right = shown.pixel(testing::CarDecal.right() - 12, testing::CarDecal.center().y());
        QVERIFY2(qRed(left) > qBlue(left) + 80, qPrintable(testing::describe(left)));
        QVERIFY2(qBlue(right) > qRed(right) + 80, qPrintable(testing::describe(right)));
        gradient->hide();
        window->hide();
    }

private:
    QTemporaryDir m_home;
};

QTEST_MAIN(GradientTextureTest)
#include "tst_gradient_texture.moc"
