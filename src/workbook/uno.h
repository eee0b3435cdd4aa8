#pragma once

// Shared by the UNO side of the workbook layer only: the generated UNO headers
// stay out of the public ones.

#include "core/erro.h"
#include "workbook/libreoffice.h"

#include <QString>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/uno/Exception.hpp>
#include <memory>
#include <rtl/ustring.hxx>

namespace nq::lo {

inline QString qt(const rtl::OUString& s) {
    return QString(reinterpret_cast<const QChar*>(s.getStr()), s.getLength());
}

inline rtl::OUString ou(const QString& s) {
    return rtl::OUString(reinterpret_cast<const sal_Unicode*>(s.utf16()), s.size());
}

// Runs calls into the office, turning what they throw into nq::Erro: "contexto:
// the office's own message".
template <typename F> auto chama(const QString& contexto, F&& f) -> decltype(f()) {
    try {
        return f();
    } catch (const css::lang::DisposedException&) {
        throw Erro(contexto + ": o LibreOffice foi encerrado inesperadamente.");
    } catch (const css::uno::Exception& e) {
        const QString mensagem = qt(e.Message).trimmed();
        throw Erro(mensagem.isEmpty() ? contexto + "." : contexto + ": " + mensagem);
    }
}

std::unique_ptr<Planilha> criaPlanilha(const css::uno::Reference<css::frame::XDesktop2>& desktop,
                                       const OpcoesLibreOffice& opcoes);

} // namespace nq::lo
