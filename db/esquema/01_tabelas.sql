-- Accounting database of one exercise year. Amounts are NUMERIC(15,2);
-- classification codes are text compared by prefix. Columns that the
-- reports read together in one statement without a table prefix exist in
-- only one of the joined tables (CATEC and TIPO in DESDIS but not in DESALD,
-- DATAE in DESPES but not in DESDIS, BALCO in DESDIS but not in the result
-- of CALCULA_APAGAR, and so on): do not add such a column to a second table.

CREATE DOMAIN DM_VALOR AS NUMERIC(15,2);
CREATE DOMAIN DM_SIMNAO AS CHAR(1) CHECK (VALUE IN ('S', 'N'));

-- The client entity: one record.
CREATE TABLE CADCLI (
    CODIGO   SMALLINT NOT NULL,
    CLNT1    VARCHAR(80) NOT NULL,
    CID      VARCHAR(60),
    UF       CHAR(2),
    CNPJ     VARCHAR(18),
    MEXER    CHAR(4) NOT NULL,
    PREN     VARCHAR(60),
    PRE      VARCHAR(60),
    CONN     VARCHAR(60),
    CON      VARCHAR(60),
    TESN     VARCHAR(60),
    TES      VARCHAR(60),
    CONSTRAINT PK_CADCLI PRIMARY KEY (CODIGO),
    CONSTRAINT CK_CADCLI_UNICO CHECK (CODIGO = 1)
);

-- Settings of the reports: one row. RD 'T' shows reserve commitments.
CREATE TABLE PARAMEDU (
    CODIGO   SMALLINT NOT NULL,
    RD       CHAR(1) DEFAULT 'F' NOT NULL,
    CONSTRAINT PK_PARAMEDU PRIMARY KEY (CODIGO),
    CONSTRAINT CK_PARAMEDU_UNICO CHECK (CODIGO = 1)
);

-- ADM 'D' direct, 'I' indirect administration. TIPO: '1' prefecture,
-- '2' legislative chamber, '3' dependent company, '5' autarchy, '6' foundation.
CREATE TABLE TABEMPRESA (
    EMPRESA  SMALLINT NOT NULL,
    NOME     VARCHAR(80) NOT NULL,
    ADM      CHAR(1) NOT NULL CHECK (ADM IN ('D', 'I')),
    TIPO     CHAR(1) NOT NULL,
    CNPJ     VARCHAR(18),
    CONSTRAINT PK_TABEMPRESA PRIMARY KEY (EMPRESA)
);

CREATE TABLE TABPODER (
    PODER    CHAR(2) NOT NULL,
    NOME     VARCHAR(60) NOT NULL,
    CONSTRAINT PK_TABPODER PRIMARY KEY (PODER)
);

CREATE TABLE TABFUNCAO (
    FUNCAO   CHAR(2) NOT NULL,
    NOME     VARCHAR(60) NOT NULL,
    CONSTRAINT PK_TABFUNCAO PRIMARY KEY (FUNCAO)
);

CREATE TABLE TABSUBFUNCAO (
    SUBFUNCAO CHAR(3) NOT NULL,
    NOME      VARCHAR(60) NOT NULL,
    CONSTRAINT PK_TABSUBFUNCAO PRIMARY KEY (SUBFUNCAO)
);

-- Destination of resources: groups and their linkage codes.
CREATE TABLE VINGRUPO (
    VINGRUPO SMALLINT NOT NULL,
    NOME     VARCHAR(60) NOT NULL,
    CONSTRAINT PK_VINGRUPO PRIMARY KEY (VINGRUPO)
);

-- CLASSE 'A' marks the linkages of the indirect administration.
CREATE TABLE VINCODIGO (
    VINGRUPO  SMALLINT NOT NULL,
    VINCODIGO INTEGER NOT NULL,
    NOME      VARCHAR(60) NOT NULL,
    CLASSE    CHAR(1),
    EMPRESA   SMALLINT NOT NULL,
    CONSTRAINT PK_VINCODIGO PRIMARY KEY (VINGRUPO, VINCODIGO)
);

-- Revenue budget items. EXTRA 'S' marks extra-budgetary receipts
-- (retentions, deposits), whose CODRE begins with 5 so that no revenue
-- prefix selects them.
CREATE TABLE RECDIS (
    FICHA     INTEGER NOT NULL,
    CODRE     VARCHAR(20) NOT NULL,
    NOME      VARCHAR(80) NOT NULL,
    TIPO      VARCHAR(2),
    EXTRA     DM_SIMNAO DEFAULT 'N' NOT NULL,
    EMPRESA   SMALLINT NOT NULL,
    TOTOR     DM_VALOR DEFAULT 0 NOT NULL,
    VINGRUPO  SMALLINT NOT NULL,
    VINCODIGO INTEGER NOT NULL,
    BALCO     VARCHAR(12),
    CONSTRAINT PK_RECDIS PRIMARY KEY (FICHA)
);

-- Revenue collected, one row per posting.
CREATE TABLE RECEIT (
    NUMREC    INTEGER NOT NULL,
    FICHA     INTEGER NOT NULL,
    DTLAN     DATE NOT NULL,
    DTREC     DATE NOT NULL,
    VAREC     DM_VALOR NOT NULL,
    CONSTRAINT PK_RECEIT PRIMARY KEY (NUMREC)
);

-- Changes to a revenue forecast: positive raises, negative lowers.
CREATE TABLE RECALP (
    NUMALT    INTEGER NOT NULL,
    FICHA     INTEGER NOT NULL,
    DTLAN     DATE NOT NULL,
    VALOR     DM_VALOR NOT NULL,
    CONSTRAINT PK_RECALP PRIMARY KEY (NUMALT)
);

-- Expenditure budget items. Extra-budgetary items (EXTRA 'S') have no
-- function and no CATEC; among them, BALCO 3211... holds the commitments
-- carried over from earlier years (restos a pagar): 32111 processed,
-- 32112 not processed. BALCO 3236... collects PASEP and contributions.
CREATE TABLE DESDIS (
    FICHA     INTEGER NOT NULL,
    NOME      VARCHAR(80),
    DOTAC     DM_VALOR DEFAULT 0 NOT NULL,
    FUNCAO    CHAR(2),
    SUBFUNCAO CHAR(3),
    CATEC     VARCHAR(20),
    TIPO      VARCHAR(2),
    EXTRA     DM_SIMNAO DEFAULT 'N' NOT NULL,
    BALCO     VARCHAR(12),
    EMPRESA   SMALLINT NOT NULL,
    VINGRUPO  SMALLINT NOT NULL,
    VINCODIGO INTEGER NOT NULL,
    CFPRO     VARCHAR(20),
    CODLO     VARCHAR(20),
    CONSTRAINT PK_DESDIS PRIMARY KEY (FICHA)
);

-- Changes to an appropriation. IE: 1 supplementary credit, 2 special
-- credit, 3 credit opened from earlier years' balances, 4 cut.
CREATE TABLE DESALD (
    NUMALD    INTEGER NOT NULL,
    FICHA     INTEGER NOT NULL,
    DTLAN     DATE NOT NULL,
    VALOR     DM_VALOR NOT NULL,
    IE        SMALLINT NOT NULL,
    CONSTRAINT PK_DESALD PRIMARY KEY (NUMALD)
);

-- Commitments. A negative VADEM is an annulment of the commitment named in
-- PKEMPA (same NEMPG); a positive row with PKEMPA refers to the reserve
-- commitment (TPEM 'RD') that it draws on. VAPAG is what has been paid on
-- the commitment (kept by the payment module). Carried-over commitments keep
-- their original date and hold their classification in the *_ANT columns.
CREATE TABLE DESPES (
    PKEMP     INTEGER NOT NULL,
    PKEMPA    INTEGER,
    NEMPG     INTEGER NOT NULL,
    FICHA     INTEGER NOT NULL,
    DATAE     DATE NOT NULL,
    VADEM     DM_VALOR NOT NULL,
    VAPAG     DM_VALOR DEFAULT 0 NOT NULL,
    CATEC     VARCHAR(20),
    ELEMENTO  CHAR(2),
    CATEGORIA CHAR(1),
    TPEM      VARCHAR(2) NOT NULL,
    TIPO      VARCHAR(2),
    VINGRUPO  SMALLINT NOT NULL,
    VINCODIGO INTEGER NOT NULL,
    EVGRUPO   SMALLINT,
    EVCODIGO  INTEGER,
    CREDOR    VARCHAR(80),
    HISTO     VARCHAR(200),
    DOCUM     VARCHAR(20),
    VENCI     DATE,
    PRODU     BLOB SUB_TYPE TEXT,
    IE        SMALLINT,
    DTLIQ     DATE,
    LICIT     VARCHAR(40),
    PROC      VARCHAR(20),
    REQUI     VARCHAR(20),
    NUMLIC    VARCHAR(20),
    CODLO_ANT VARCHAR(20),
    CFPRO_ANT VARCHAR(20),
    CATEC_ANT VARCHAR(20),
    CONSTRAINT PK_DESPES PRIMARY KEY (PKEMP)
);

-- Liquidations (read through VIEWLIQ).
CREATE TABLE DESLIQ (
    NUMLIQ    INTEGER NOT NULL,
    PKEMP     INTEGER NOT NULL,
    DTLIQ     DATE NOT NULL,
    VALIQ     DM_VALOR NOT NULL,
    CONSTRAINT PK_DESLIQ PRIMARY KEY (NUMLIQ)
);

-- Payments (read through VIEWVAPAG), each from a cash account.
CREATE TABLE DESPAG (
    NUMPAG    INTEGER NOT NULL,
    PKEMP     INTEGER NOT NULL,
    DTPAG     DATE NOT NULL,
    VALOR     DM_VALOR NOT NULL,
    CONTA     INTEGER NOT NULL,
    CONSTRAINT PK_DESPAG PRIMARY KEY (NUMPAG)
);

-- Cash and bank accounts. BALCO: 31110 cash, 3112 bank (current),
-- 3113 bank (special), 3114 investments, 3115 cash in transit, 3121 bank
-- (tied resources).
CREATE TABLE DESCON (
    CONTA        INTEGER NOT NULL,
    NOME         VARCHAR(60) NOT NULL,
    BALCO        VARCHAR(12) NOT NULL,
    TIPO         VARCHAR(2),
    SALDOINICIAL DM_VALOR DEFAULT 0 NOT NULL,
    VINGRUPO     SMALLINT NOT NULL,
    VINCODIGO    INTEGER NOT NULL,
    CONSTRAINT PK_DESCON PRIMARY KEY (CONTA)
);

-- Movements of the cash accounts: CREDI enters, DEBIT leaves; the rows of
-- 1 January carry the opening balances.
CREATE TABLE ORDCAI (
    NUMORD    INTEGER NOT NULL,
    CONTA     INTEGER NOT NULL,
    DTLAN     DATE NOT NULL,
    CREDI     DM_VALOR DEFAULT 0 NOT NULL,
    DEBIT     DM_VALOR DEFAULT 0 NOT NULL,
    CONSTRAINT PK_ORDCAI PRIMARY KEY (NUMORD)
);

-- Accounting journal by ledger account. IE 1, 2 and 3 are the opening
-- entries of the year (assets, liabilities, compensation); 4 ordinary
-- entries.
CREATE TABLE CONDIA (
    NUMDIA    INTEGER NOT NULL,
    BALCO     VARCHAR(12) NOT NULL,
    DATAE     DATE NOT NULL,
    CREDI     DM_VALOR DEFAULT 0 NOT NULL,
    DEBIT     DM_VALOR DEFAULT 0 NOT NULL,
    IE        SMALLINT NOT NULL,
    HISTO     VARCHAR(80),
    CONSTRAINT PK_CONDIA PRIMARY KEY (NUMDIA)
);

-- Filled by STN_ANX06_440, read by STN_ANX06_440_VINC; private to each
-- attachment.
CREATE GLOBAL TEMPORARY TABLE STN_ANX06_VINC_TMP (
    EMPRESA     SMALLINT,
    VINGRUPO    SMALLINT,
    VINCODIGO   INTEGER,
    GRP         VARCHAR(60),
    NOME        VARCHAR(60),
    RP_ANT      DM_VALOR DEFAULT 0,
    RP_EXER     DM_VALOR DEFAULT 0,
    NP_EXER     DM_VALOR DEFAULT 0,
    RP_CANC_BIM DM_VALOR DEFAULT 0,
    RP_CANC_ACU DM_VALOR DEFAULT 0,
    RP_PAGO_BIM DM_VALOR DEFAULT 0,
    RP_PAGO_ACU DM_VALOR DEFAULT 0,
    CAIXA       DM_VALOR DEFAULT 0,
    OBRIGACOES  DM_VALOR DEFAULT 0,
    NP_ANO      DM_VALOR DEFAULT 0,
    DIS_FIN     DM_VALOR DEFAULT 0,
    N_INSCR     DM_VALOR DEFAULT 0
) ON COMMIT PRESERVE ROWS;
