#include "anexos_do_programa.h"

#include "annexes/anexo1/anexo1.h"
#include "annexes/anexo1b/anexo1b.h"
#include "annexes/anexo2/anexo2.h"
#include "annexes/anexo3/anexo3.h"
#include "annexes/anexo4/anexo4.h"
#include "annexes/anexo5/anexo5.h"
#include "annexes/anexo6/anexo6.h"
#include "annexes/anexo7/anexo7.h"
#include "annexes/anexo8/anexo8.h"

namespace nq {

AnexosDisponiveis anexosDoPrograma() {
    return {
        {QStringLiteral("ImpAnexo1"), [](QWidget* dono) { return new TImpAnexo1(dono); }},
        {QStringLiteral("ImpAnexo1B"), [](QWidget* dono) { return new TImpAnexo1B(dono); }},
        {QStringLiteral("ImpAnexo2"), [](QWidget* dono) { return new TImpAnexo2(dono); }},
        {QStringLiteral("ImpAnexo3"), [](QWidget* dono) { return new TImpAnexo3(dono); }},
        {QStringLiteral("ImpAnexo4"), [](QWidget* dono) { return new TImpAnexo4(dono); }},
        {QStringLiteral("ImpAnexo5"), [](QWidget* dono) { return new TImpAnexo5(dono); }},
        {QStringLiteral("ImpAnexo6"), [](QWidget* dono) { return new TImpAnexo6(dono); }},
        {QStringLiteral("Form07"), [](QWidget* dono) { return new TImpAnexo7(dono); }},
        {QStringLiteral("ImpAnexo8"), [](QWidget* dono) { return new TImpAnexo8(dono); }},
    };
}

} // namespace nq
