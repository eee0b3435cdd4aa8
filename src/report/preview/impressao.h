#pragma once

#include "report/pagina.h"
#include "report/preview/opcoes.h"

#include <vector>

class QPrinter;
class QWidget;

namespace nq {

// Sends the chosen pages to the file device or to the printer that `opcoes` name, the
// latter with the copies asked for (one file holds one copy); `impressora` carries the
// printer's properties. With
// `mostraCancelamento` the cancel dialog follows the job and can stop it. Returns false
// when the user stopped it; throws nq::Erro when the device fails (a file then keeps its
// former contents).
bool imprimePaginas(const std::vector<Pagina>& paginas, const TrabalhoDeImpressao& trabalho,
                    const OpcoesDeImpressao& opcoes, QPrinter& impressora, bool mostraCancelamento,
                    QWidget* pai = nullptr);

} // namespace nq
