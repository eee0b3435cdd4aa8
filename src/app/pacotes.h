#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <vector>

class QTreeWidget;

namespace nq {

struct ModuloCarregado {
    QString arquivo;    // file name of the loaded object (the program itself first)
    QStringList requer; // the libraries it names as needed (DT_NEEDED)
};

// Every shared object loaded in this process, in load order.
std::vector<ModuloCarregado> modulosCarregados();

// The package-information window: one root per loaded module with what it requires.
class TForm1 : public QDialog {
    Q_OBJECT
public:
    explicit TForm1(QWidget* pai = nullptr);
    QTreeWidget* arvore() const { return TreeView1; }

private:
    QTreeWidget* TreeView1;
};

} // namespace nq
