#include "anexos_do_programa.h"

#include "annexes/anexo1/anexo1.h"
#include "annexes/anexo1b/anexo1b.h"
#include "annexes/anexo2/anexo2.h"
#include "annexes/anexo3/anexo3.h"
#include "annexes/anexo4/anexo4.h"
#include "annexes/anexo5/anexo5.h"

namespace nq {

AnexosDisponiveis anexosDoPrograma() {
    return {
        {QStringLiteral("ImpAnexo1"), [](QWidget* dono) { return new TImpAnexo1(dono); }},
        {QStringLiteral("ImpAnexo1B"), [](QWidget* dono) { return new TImpAnexo1B(dono); }},
        {QStringLiteral("ImpAnexo2"), [](QWidget* dono) { return new TImpAnexo2(dono); }},
        {QStringLiteral("ImpAnexo3"), [](QWidget* dono) { return new TImpAnexo3(dono); }},
        {QStringLiteral("ImpAnexo4"), [](QWidget* dono) { return new TImpAnexo4(dono); }},
        {QStringLiteral("ImpAnexo5"), [](QWidget* dono) { return new TImpAnexo5(dono); }},
    };
}

} // namespace nq
