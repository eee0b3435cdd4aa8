#pragma once

// The UNO side of the workbook layer only: the generated UNO headers stay out
// of the public ones.

#include "core/erro.h"

#include <QString>
#include <chrono>
#include <com/sun/star/bridge/XBridge.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/uno/Exception.hpp>
#include <functional>
#include <memory>
#include <mutex>
#include <rtl/ustring.hxx>
#include <type_traits>

namespace nq::lo {

inline QString qt(const rtl::OUString& s) {
    return QString(reinterpret_cast<const QChar*>(s.getStr()), s.getLength());
}

inline rtl::OUString ou(const QString& s) {
    return rtl::OUString(reinterpret_cast<const sal_Unicode*>(s.utf16()), s.size());
}

// The link to one office: a bridge over its pipe, its desktop, and a deadline on
// every call made through chama(). A call that overruns its deadline makes the
// link run `aoEsgotar` (where a hidden office is killed; a visible one is left as
// it is), cuts the bridge so that the call returns, and throws nq::Erro; the link
// stays dead from then on.
class CanalUno {
public:
    // `desfecho` ends the message of a call that ran out of time: "e foi encerrado".
    CanalUno(std::chrono::seconds prazo, std::function<void()> aoEsgotar, QString desfecho);
    ~CanalUno();
    CanalUno(const CanalUno&) = delete;
    CanalUno& operator=(const CanalUno&) = delete;

    // One attempt to reach the office listening on `pipe`; false while nobody listens
    // there yet or the office is not ready to serve.
    bool conecta(const QString& pipe);
    const css::uno::Reference<css::frame::XDesktop2>& desktop() const { return desktop_; }
    // False before conecta() succeeds, after desliga() and after a call ran out of time.
    bool ativo() const;
    // Cuts the bridge and leaves the office as it is. Idempotent.
    void desliga();

    // Runs calls into the office within the deadline, turning what they throw into
    // nq::Erro: "contexto: the office's own message".
    template <typename F> auto chama(const QString& contexto, F&& f) -> decltype(f()) {
        return chama(prazo_, contexto, std::forward<F>(f));
    }
    template <typename F>
    auto chama(std::chrono::seconds prazo, const QString& contexto, F&& f) -> decltype(f()) {
        Prazo vigiado(*this, prazo, contexto);
        try {
            if constexpr (std::is_void_v<decltype(f())>) {
                f();
                vigiado.confere();
            } else {
                auto r = f();
                vigiado.confere();
                return r;
            }
        } catch (const css::lang::DisposedException& e) {
            throw erroDe(contexto, e, true, vigiado.segundos());
        } catch (const css::uno::Exception& e) {
            throw erroDe(contexto, e, false, vigiado.segundos());
        }
    }

private:
    class Vigia;
    // Arms the deadline for the outermost of nested calls.
    class Prazo {
    public:
        Prazo(CanalUno& canal, std::chrono::seconds prazo, const QString& contexto);
        ~Prazo();
        // Throws when the deadline passed even though the call returned.
        void confere() const;
        int segundos() const { return static_cast<int>(prazo_.count()); }

    private:
        CanalUno& canal_;
        std::chrono::seconds prazo_;
        QString contexto_;
        bool externo_;
    };

    Erro erroDe(const QString& contexto, const css::uno::Exception& e, bool encerrado,
                int segundos) const;
    Erro erroDeTempo(const QString& contexto, int segundos) const;
    void esgotou();
    void corta();

    std::chrono::seconds prazo_;
    std::function<void()> aoEsgotar_;
    QString desfecho_;
    int profundidade_ = 0;
    mutable std::mutex trava_; // guards ponte_ against the watchdog
    css::uno::Reference<css::bridge::XBridge> ponte_;
    css::uno::Reference<css::frame::XDesktop2> desktop_;
    std::unique_ptr<Vigia> vigia_;
};

} // namespace nq::lo
