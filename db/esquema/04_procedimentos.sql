-- Selectable procedures that the reports read.

SET TERM ^ ;

-- What is still to be paid, per commitment, on the date given: the amount
-- committed up to that date, less its annulments and payments up to that
-- date. PROCESSADO is the part already liquidated, NPROCESSADO the rest.
-- Reserve commitments (TPEM 'RD') hold appropriation, not a debt to anyone,
-- so they never appear here. Commitments carried over from earlier years
-- appear with their original classification (CATEC_ANT).
-- The commitments are read in key order beside their annulments,
-- liquidations and payments, each read in the same order through its key
-- index, and merged as they go: four ordered passes instead of three
-- look-ups per commitment. The dates are compared as "date + 0" so that the
-- engine walks the key indexes, not the date ones.
CREATE PROCEDURE CALCULA_APAGAR (DATA DATE)
RETURNS (
    FICHA       INTEGER,
    PKEMP       INTEGER,
    NEMPG       INTEGER,
    CATEC       VARCHAR(20),
    VINGRUPO    SMALLINT,
    VINCODIGO   INTEGER,
    EMPENHADO   NUMERIC(15,2),
    ANULADO     NUMERIC(15,2),
    LIQUIDADO   NUMERIC(15,2),
    PAGO        NUMERIC(15,2),
    APAGAR      NUMERIC(15,2),
    PROCESSADO  NUMERIC(15,2),
    NPROCESSADO NUMERIC(15,2))
AS
DECLARE KA INTEGER;
DECLARE VA NUMERIC(15,2);
DECLARE KL INTEGER;
DECLARE VL NUMERIC(15,2);
DECLARE KP INTEGER;
DECLARE VP NUMERIC(15,2);
DECLARE SA NUMERIC(18,2);
DECLARE SL NUMERIC(18,2);
DECLARE SP NUMERIC(18,2);
DECLARE ANULACOES CURSOR FOR (
    SELECT A.PKEMPA, -A.VADEM AS VALOR FROM DESPES A
    WHERE A.PKEMPA IS NOT NULL AND A.VADEM < 0 AND A.DATAE + 0 <= :DATA
    ORDER BY A.PKEMPA);
DECLARE LIQUIDACOES CURSOR FOR (
    SELECT L.PKEMP, L.VALIQ FROM DESLIQ L
    WHERE L.PKEMP IS NOT NULL AND L.DTLIQ + 0 <= :DATA
    ORDER BY L.PKEMP);
DECLARE PAGAMENTOS CURSOR FOR (
    SELECT P.PKEMP, P.VALOR FROM DESPAG P
    WHERE P.PKEMP IS NOT NULL AND P.DTPAG + 0 <= :DATA
    ORDER BY P.PKEMP);
BEGIN
    OPEN ANULACOES;
    FETCH ANULACOES INTO :KA, :VA;
    IF (ROW_COUNT = 0) THEN KA = NULL;
    OPEN LIQUIDACOES;
    FETCH LIQUIDACOES INTO :KL, :VL;
    IF (ROW_COUNT = 0) THEN KL = NULL;
    OPEN PAGAMENTOS;
    FETCH PAGAMENTOS INTO :KP, :VP;
    IF (ROW_COUNT = 0) THEN KP = NULL;
    FOR SELECT E.FICHA, E.PKEMP, E.NEMPG, COALESCE(E.CATEC, E.CATEC_ANT),
               E.VINGRUPO, E.VINCODIGO, E.VADEM
        FROM DESPES E
        WHERE E.VADEM > 0 AND E.TPEM <> 'RD' AND E.DATAE + 0 <= :DATA
        ORDER BY E.PKEMP
        INTO :FICHA, :PKEMP, :NEMPG, :CATEC, :VINGRUPO, :VINCODIGO, :EMPENHADO
    DO BEGIN
        SA = 0;
        WHILE (KA <= PKEMP) DO BEGIN
            IF (KA = PKEMP) THEN SA = SA + VA;
            FETCH ANULACOES INTO :KA, :VA;
            IF (ROW_COUNT = 0) THEN KA = NULL;
        END
        SL = 0;
        WHILE (KL <= PKEMP) DO BEGIN
            IF (KL = PKEMP) THEN SL = SL + COALESCE(VL, 0);
            FETCH LIQUIDACOES INTO :KL, :VL;
            IF (ROW_COUNT = 0) THEN KL = NULL;
        END
        SP = 0;
        WHILE (KP <= PKEMP) DO BEGIN
            IF (KP = PKEMP) THEN SP = SP + COALESCE(VP, 0);
            FETCH PAGAMENTOS INTO :KP, :VP;
            IF (ROW_COUNT = 0) THEN KP = NULL;
        END
        ANULADO = SA;
        LIQUIDADO = SL;
        PAGO = SP;
        APAGAR = EMPENHADO - ANULADO - PAGO;
        PROCESSADO = LIQUIDADO - PAGO;
        NPROCESSADO = APAGAR - PROCESSADO;
        IF (APAGAR <> 0) THEN
            SUSPEND;
    END
    CLOSE ANULACOES;
    CLOSE LIQUIDACOES;
    CLOSE PAGAMENTOS;
END^

-- Outstanding commitments (restos a pagar) by power and entity for the
-- period INICIO..FIM, computed per resource linkage into STN_ANX06_VINC_TMP
-- (which STN_ANX06_440_VINC then reads) and added up per entity here. Each
-- figure is one grouped pass over the rows it needs:
-- - carried-over commitments are the commitments of the budget items whose
--   BALCO begins with 3211 (32111 processed, 32112 not processed); the year
--   of their date tells those inscribed at the end of the previous year
--   (RP_EXER, NP_EXER) from older ones (RP_ANT). Cancellations are their
--   annulments, payments their payments, in the period (_BIM) and since
--   1 January (_ACU);
-- - DIS_FIN, the sufficiency before inscribing the year's non-processed
--   commitments: cash of the linkage's accounts at FIM less what it owes
--   then, as CALCULA_APAGAR finds it per commitment: the part liquidated and
--   not paid is owed (processed); the part committed and not annulled nor
--   liquidated is not processed, owed already when the commitment was
--   carried over (an item outside the budget, EXTRA 'S'), and the year's own
--   otherwise (NP_ANO);
-- - N_INSCR, at the end of the year only: the year's non-processed
--   commitments that the sufficiency does not cover.
-- PODER 'P' (a legislative power exists) gives the chamber (entity kind 2)
-- its own line D01 beside the executive D02; 'O' puts the whole direct
-- administration on D02.
CREATE PROCEDURE STN_ANX06_440 (PODER CHAR(1), INICIO DATE, FIM DATE)
RETURNS (
    ADM         VARCHAR(3),
    NOME        VARCHAR(100),
    RP_ANT      NUMERIC(15,2),
    RP_EXER     NUMERIC(15,2),
    NP_EXER     NUMERIC(15,2),
    DIS_FIN     NUMERIC(15,2),
    N_INSCR     NUMERIC(15,2),
    RP_CANC_BIM NUMERIC(15,2),
    RP_CANC_ACU NUMERIC(15,2),
    RP_PAGO_BIM NUMERIC(15,2),
    RP_PAGO_ACU NUMERIC(15,2))
AS
DECLARE ANO INTEGER;
DECLARE INICIO_ANO DATE;
DECLARE FIM_ANO SMALLINT;
DECLARE G SMALLINT;
DECLARE C INTEGER;
DECLARE V1 NUMERIC(15,2);
DECLARE V2 NUMERIC(15,2);
DECLARE V3 NUMERIC(15,2);
DECLARE V4 NUMERIC(15,2);
DECLARE V5 NUMERIC(15,2);
BEGIN
    ANO = EXTRACT(YEAR FROM FIM);
    INICIO_ANO = CAST('01.01.' || ANO AS DATE);
    FIM_ANO = IIF(EXTRACT(MONTH FROM FIM) = 12 AND EXTRACT(DAY FROM FIM) = 31, 1, 0);

    DELETE FROM STN_ANX06_VINC_TMP;
    INSERT INTO STN_ANX06_VINC_TMP (EMPRESA, VINGRUPO, VINCODIGO, GRP, NOME)
    SELECT V.EMPRESA, V.VINGRUPO, V.VINCODIGO, G.NOME, V.NOME
    FROM VINCODIGO V INNER JOIN VINGRUPO G ON G.VINGRUPO = V.VINGRUPO;

    -- Carried over: inscribed and cancelled.
    FOR SELECT E.VINGRUPO, E.VINCODIGO,
               SUM(IIF(E.VADEM > 0 AND F.BALCO STARTING WITH '32111'
                       AND EXTRACT(YEAR FROM E.DATAE) < :ANO - 1, E.VADEM, 0)),
               SUM(IIF(E.VADEM > 0 AND F.BALCO STARTING WITH '32111'
                       AND EXTRACT(YEAR FROM E.DATAE) >= :ANO - 1, E.VADEM, 0)),
               SUM(IIF(E.VADEM > 0 AND F.BALCO STARTING WITH '32112', E.VADEM, 0)),
               SUM(IIF(E.VADEM < 0 AND E.DATAE BETWEEN :INICIO AND :FIM, -E.VADEM, 0)),
               SUM(IIF(E.VADEM < 0 AND E.DATAE BETWEEN :INICIO_ANO AND :FIM, -E.VADEM, 0))
        FROM DESDIS F INNER JOIN DESPES E ON E.FICHA = F.FICHA
        WHERE F.BALCO STARTING WITH '3211'
        GROUP BY E.VINGRUPO, E.VINCODIGO
        INTO :G, :C, :V1, :V2, :V3, :V4, :V5
    DO
        UPDATE STN_ANX06_VINC_TMP SET RP_ANT = :V1, RP_EXER = :V2, NP_EXER = :V3,
                                      RP_CANC_BIM = :V4, RP_CANC_ACU = :V5
        WHERE VINGRUPO = :G AND VINCODIGO = :C;

    -- Carried over: paid.
    FOR SELECT E.VINGRUPO, E.VINCODIGO,
               SUM(IIF(P.DTPAG BETWEEN :INICIO AND :FIM, P.VALOR, 0)),
               SUM(IIF(P.DTPAG BETWEEN :INICIO_ANO AND :FIM, P.VALOR, 0))
        FROM DESDIS F INNER JOIN DESPES E ON E.FICHA = F.FICHA
        INNER JOIN DESPAG P ON P.PKEMP = E.PKEMP
        WHERE F.BALCO STARTING WITH '3211'
        GROUP BY E.VINGRUPO, E.VINCODIGO
        INTO :G, :C, :V1, :V2
    DO
        UPDATE STN_ANX06_VINC_TMP SET RP_PAGO_BIM = :V1, RP_PAGO_ACU = :V2
        WHERE VINGRUPO = :G AND VINCODIGO = :C;

    -- Cash at FIM.
    FOR SELECT K.VINGRUPO, K.VINCODIGO, SUM(O.CREDI - O.DEBIT)
        FROM ORDCAI O INNER JOIN DESCON K ON K.CONTA = O.CONTA
        WHERE O.DTLAN <= :FIM
        GROUP BY K.VINGRUPO, K.VINCODIGO
        INTO :G, :C, :V1
    DO
        UPDATE STN_ANX06_VINC_TMP SET CAIXA = :V1 WHERE VINGRUPO = :G AND VINCODIGO = :C;

    -- Owed at FIM.
    FOR SELECT A.VINGRUPO, A.VINCODIGO,
               SUM(IIF(F.EXTRA = 'N', A.NPROCESSADO, 0)),
               SUM(IIF(F.EXTRA = 'N', A.PROCESSADO, A.APAGAR))
        FROM CALCULA_APAGAR(:FIM) A INNER JOIN DESDIS F ON F.FICHA = A.FICHA
        GROUP BY A.VINGRUPO, A.VINCODIGO
        INTO :G, :C, :V1, :V2
    DO
        UPDATE STN_ANX06_VINC_TMP SET NP_ANO = :V1, OBRIGACOES = :V2
        WHERE VINGRUPO = :G AND VINCODIGO = :C;

    UPDATE STN_ANX06_VINC_TMP SET DIS_FIN = CAIXA - OBRIGACOES;
    UPDATE STN_ANX06_VINC_TMP SET
      N_INSCR = IIF(:FIM_ANO = 1, MAXVALUE(0, NP_ANO - MAXVALUE(DIS_FIN, 0)), 0);

    FOR SELECT 'D', 'ADMINISTRAÇÃO DIRETA',
               COALESCE(SUM(T.RP_ANT), 0), COALESCE(SUM(T.RP_EXER), 0), COALESCE(SUM(T.NP_EXER), 0), COALESCE(SUM(T.DIS_FIN), 0), COALESCE(SUM(T.N_INSCR), 0),
               COALESCE(SUM(T.RP_CANC_BIM), 0), COALESCE(SUM(T.RP_CANC_ACU), 0), COALESCE(SUM(T.RP_PAGO_BIM), 0), COALESCE(SUM(T.RP_PAGO_ACU), 0)
        FROM STN_ANX06_VINC_TMP T INNER JOIN TABEMPRESA E ON E.EMPRESA = T.EMPRESA
        WHERE E.ADM = 'D'
        INTO :ADM, :NOME, :RP_ANT, :RP_EXER, :NP_EXER, :DIS_FIN, :N_INSCR,
             :RP_CANC_BIM, :RP_CANC_ACU, :RP_PAGO_BIM, :RP_PAGO_ACU
    DO SUSPEND;

    IF (PODER = 'P') THEN
        FOR SELECT 'D01', COALESCE((SELECT NOME FROM TABPODER WHERE PODER = '01'), 'PODER LEGISLATIVO'),
                   COALESCE(SUM(T.RP_ANT), 0), COALESCE(SUM(T.RP_EXER), 0), COALESCE(SUM(T.NP_EXER), 0), COALESCE(SUM(T.DIS_FIN), 0), COALESCE(SUM(T.N_INSCR), 0),
                   COALESCE(SUM(T.RP_CANC_BIM), 0), COALESCE(SUM(T.RP_CANC_ACU), 0), COALESCE(SUM(T.RP_PAGO_BIM), 0), COALESCE(SUM(T.RP_PAGO_ACU), 0)
            FROM STN_ANX06_VINC_TMP T INNER JOIN TABEMPRESA E ON E.EMPRESA = T.EMPRESA
            WHERE E.ADM = 'D' AND E.TIPO = '2'
            INTO :ADM, :NOME, :RP_ANT, :RP_EXER, :NP_EXER, :DIS_FIN, :N_INSCR,
                 :RP_CANC_BIM, :RP_CANC_ACU, :RP_PAGO_BIM, :RP_PAGO_ACU
        DO SUSPEND;

    FOR SELECT 'D02', COALESCE((SELECT NOME FROM TABPODER WHERE PODER = '02'), 'PODER EXECUTIVO'),
               COALESCE(SUM(T.RP_ANT), 0), COALESCE(SUM(T.RP_EXER), 0), COALESCE(SUM(T.NP_EXER), 0), COALESCE(SUM(T.DIS_FIN), 0), COALESCE(SUM(T.N_INSCR), 0),
               COALESCE(SUM(T.RP_CANC_BIM), 0), COALESCE(SUM(T.RP_CANC_ACU), 0), COALESCE(SUM(T.RP_PAGO_BIM), 0), COALESCE(SUM(T.RP_PAGO_ACU), 0)
        FROM STN_ANX06_VINC_TMP T INNER JOIN TABEMPRESA E ON E.EMPRESA = T.EMPRESA
        WHERE E.ADM = 'D' AND (E.TIPO <> '2' OR :PODER <> 'P')
        INTO :ADM, :NOME, :RP_ANT, :RP_EXER, :NP_EXER, :DIS_FIN, :N_INSCR,
             :RP_CANC_BIM, :RP_CANC_ACU, :RP_PAGO_BIM, :RP_PAGO_ACU
    DO SUSPEND;

    FOR SELECT 'I', E.NOME,
               COALESCE(SUM(T.RP_ANT), 0), COALESCE(SUM(T.RP_EXER), 0), COALESCE(SUM(T.NP_EXER), 0),
               COALESCE(SUM(T.DIS_FIN), 0), COALESCE(SUM(T.N_INSCR), 0),
               COALESCE(SUM(T.RP_CANC_BIM), 0), COALESCE(SUM(T.RP_CANC_ACU), 0),
               COALESCE(SUM(T.RP_PAGO_BIM), 0), COALESCE(SUM(T.RP_PAGO_ACU), 0)
        FROM TABEMPRESA E LEFT JOIN STN_ANX06_VINC_TMP T ON T.EMPRESA = E.EMPRESA
        WHERE E.ADM = 'I'
        GROUP BY E.EMPRESA, E.NOME
        ORDER BY E.EMPRESA
        INTO :ADM, :NOME, :RP_ANT, :RP_EXER, :NP_EXER, :DIS_FIN, :N_INSCR,
             :RP_CANC_BIM, :RP_CANC_ACU, :RP_PAGO_BIM, :RP_PAGO_ACU
    DO SUSPEND;
END^

-- The destination-of-resources table of the last STN_ANX06_440 call made
-- on this attachment: one row per linkage that has something to show.
CREATE PROCEDURE STN_ANX06_440_VINC
RETURNS (
    GRP     VARCHAR(60),
    NOME    VARCHAR(60),
    RP_ANT  NUMERIC(15,2),
    RP_EXER NUMERIC(15,2),
    NP_EXER NUMERIC(15,2),
    DIS_FIN NUMERIC(15,2),
    N_INSCR NUMERIC(15,2))
AS
BEGIN
    FOR SELECT GRP, NOME, RP_ANT, RP_EXER, NP_EXER, DIS_FIN, N_INSCR
        FROM STN_ANX06_VINC_TMP
        WHERE RP_ANT <> 0 OR RP_EXER <> 0 OR NP_EXER <> 0 OR DIS_FIN <> 0 OR N_INSCR <> 0
        ORDER BY VINGRUPO, VINCODIGO
        INTO :GRP, :NOME, :RP_ANT, :RP_EXER, :NP_EXER, :DIS_FIN, :N_INSCR
    DO SUSPEND;
END^

SET TERM ; ^
