#include "pacotes.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <elf.h>
#include <link.h>

namespace nq {

namespace {

// glibc relocates the dynamic section's addresses on load, except in the vDSO
// on some systems: an address below the load base is still an offset.
const char* enderecoReal(const dl_phdr_info* info, ElfW(Addr) ptr) {
    return reinterpret_cast<const char*>(ptr < info->dlpi_addr ? ptr + info->dlpi_addr : ptr);
}

QStringList necessarios(const dl_phdr_info* info) {
    QStringList nomes;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& ph = info->dlpi_phdr[i];
        if (ph.p_type != PT_DYNAMIC)
            continue;
        const auto* dyn = reinterpret_cast<const ElfW(Dyn)*>(info->dlpi_addr + ph.p_vaddr);
        const char* tabela = nullptr;
        for (const ElfW(Dyn)* d = dyn; d->d_tag != DT_NULL; ++d)
            if (d->d_tag == DT_STRTAB)
                tabela = enderecoReal(info, d->d_un.d_ptr);
        if (!tabela)
            break;
        for (const ElfW(Dyn)* d = dyn; d->d_tag != DT_NULL; ++d)
            if (d->d_tag == DT_NEEDED)
                nomes << QString::fromLocal8Bit(tabela + d->d_un.d_val);
    }
    return nomes;
}

int acrescenta(dl_phdr_info* info, size_t, void* dados) {
    auto* lista = static_cast<std::vector<ModuloCarregado>*>(dados);
    QString nome = QString::fromLocal8Bit(info->dlpi_name);
    if (nome.isEmpty()) // the program itself
        nome = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    lista->push_back({nome, necessarios(info)});
    return 0;
}

} // namespace

std::vector<ModuloCarregado> modulosCarregados() {
    std::vector<ModuloCarregado> lista;
    dl_iterate_phdr(acrescenta, &lista);
    return lista;
}

TForm1::TForm1(QWidget* pai) : QDialog(pai), TreeView1(new QTreeWidget(this)) {
    setWindowTitle(QStringLiteral("Package Information"));
    resize(588, 415);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(TreeView1);
    TreeView1->setHeaderHidden(true);
    TreeView1->setFont(QFont(QStringLiteral("Courier New"), 8));
    TreeView1->setStyleSheet(QStringLiteral("QTreeWidget { color: lime; background: black; }"));

    for (const ModuloCarregado& m : modulosCarregados()) {
        auto* raiz = new QTreeWidgetItem(TreeView1, {m.arquivo.left(200)});
        auto* requer = new QTreeWidgetItem(raiz, {QStringLiteral("Requires")});
        for (const QString& r : m.requer)
            new QTreeWidgetItem(requer, {r});
    }

    if (const QScreen* tela = QGuiApplication::primaryScreen())
        move(tela->availableGeometry().center() - rect().center());
}

} // namespace nq
