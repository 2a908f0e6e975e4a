-- Books of the first version exactly as its set-up made them, for the upgrade tests.
-- The four tables of a new set of books, PostgreSQL dialect. Same widths as on SQLite.

CREATE TABLE 操作员 (
    用户名 VARCHAR(50) NOT NULL PRIMARY KEY,
    密码 VARCHAR(50) NOT NULL
);

CREATE TABLE 进 (
    采购日期 TIMESTAMP NOT NULL,
    采购人 VARCHAR(200) NOT NULL,
    大类 VARCHAR(200) NOT NULL,
    小类 VARCHAR(200) NOT NULL,
    编号 VARCHAR(200) NOT NULL,
    名称 VARCHAR(100) NOT NULL,
    产地 VARCHAR(100) NOT NULL,
    规格型号 VARCHAR(100) NOT NULL,
    批号 VARCHAR(200) NOT NULL,
    有效截止日期 VARCHAR(100) NOT NULL,
    进价 DOUBLE PRECISION NOT NULL,
    数量 DOUBLE PRECISION NOT NULL
);

CREATE INDEX 进_采购日期 ON 进 (采购日期);

CREATE TABLE 存 (
    名称 VARCHAR(100) NOT NULL,
    产地 VARCHAR(100) NOT NULL,
    规格型号 VARCHAR(100) NOT NULL,
    有效截止日期 VARCHAR(100) NOT NULL,
    平均成本单价 DOUBLE PRECISION NOT NULL,
    现有存货量 DOUBLE PRECISION NOT NULL,
    PRIMARY KEY (名称, 产地, 规格型号, 有效截止日期)
);

CREATE TABLE 销 (
    日期时间 TIMESTAMP NOT NULL,
    名称 VARCHAR(100) NOT NULL,
    产地 VARCHAR(100) NOT NULL,
    规格型号 VARCHAR(100) NOT NULL,
    有效截止日期 VARCHAR(100) NOT NULL,
    零售价 DOUBLE PRECISION NOT NULL,
    数量 DOUBLE PRECISION NOT NULL,
    销售类型 VARCHAR(100) NOT NULL,
    实收金额 DOUBLE PRECISION NOT NULL,
    坏帐 DOUBLE PRECISION NOT NULL,
    PRIMARY KEY (日期时间)
);

-- The sales of one card, for the join with its stock card starting from 存.
CREATE INDEX 销_存货卡 ON 销 (名称, 产地, 规格型号, 有效截止日期);

INSERT INTO 操作员 (用户名, 密码) VALUES ('管理员', '737');
