#pragma once

#include "demo/demo.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

// A suite sharing one generated accounting database (the demo generator's small
// "teste" size), made before its first test and removed after its last.
class ComBancoGerado : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        tmp_ = new QTemporaryDir;
        demo_ = new nq::demo::Demonstracao(nq::demo::criaBancoDeTeste(tmp_->path() + "/banco"));
    }
    static void TearDownTestSuite() {
        delete demo_;
        delete tmp_;
        demo_ = nullptr;
        tmp_ = nullptr;
    }

    static inline QTemporaryDir* tmp_ = nullptr;
    static inline nq::demo::Demonstracao* demo_ = nullptr;
};
