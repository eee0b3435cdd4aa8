#pragma once

// Shared by the UNO side of the workbook layer only: the generated UNO headers
// stay out of the public ones.

#include "workbook/canal_uno.h"
#include "workbook/libreoffice.h"

#include <memory>

namespace nq::lo {

std::unique_ptr<Planilha> criaPlanilha(const std::shared_ptr<CanalUno>& canal,
                                       const OpcoesLibreOffice& opcoes);

} // namespace nq::lo
