// A shared object that is not a Firebird client: what a wrong DLL setting loads.
extern "C" int nq404_nao_sou_o_firebird() {
    return 404;
}
