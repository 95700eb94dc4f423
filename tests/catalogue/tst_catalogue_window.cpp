#include <QtTest>
class CatalogueWindowTest : public QObject { Q_OBJECT };
QTEST_MAIN(CatalogueWindowTest)
#include "tst_catalogue_window.moc"
