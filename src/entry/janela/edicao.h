#pragma once

class QWidget;

namespace nq {

// Puts a window into typing state: its choice and text controls, check boxes
// and ordinary buttons are disabled, "btnok" and "btncancel" enabled; the tool
// buttons "BtnIncluir", "BtnAlterar", "BtnExcluir" and "BtnPesquisar" are
// disabled and every other tool button enabled. Item views and what they hold
// (a grid and its cell editor) are left alone.
void EntraEdicao(QWidget* janela);
// The reverse: back to browsing.
void SaiEdicao(QWidget* janela);

} // namespace nq
