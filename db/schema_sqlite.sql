-- A new set of books at the newest version, SQLite dialect. The four tables keep the columns
-- of the first version in their order; later columns come at their ends.
-- SQLite neither enforces a declared width nor a column's type, so CHECK does both, and a
-- failing statement looks the same as on PostgreSQL. The two date-time columns compare in
-- time order through the APRICOT_DATETIME collation of the project's extension.

CREATE TABLE 操作员 (
    用户名 VARCHAR(50) NOT NULL PRIMARY KEY CHECK (length(用户名) <= 50),
    密码 VARCHAR(200) NOT NULL CHECK (length(密码) <= 200),
    角色 VARCHAR(10) NOT NULL DEFAULT '营业员' CHECK (角色 IN ('店长', '营业员'))
);

CREATE TABLE 进 (
    采购日期 TIMESTAMP NOT NULL COLLATE APRICOT_DATETIME CHECK (apricot_is_datetime(采购日期)),
    采购人 VARCHAR(200) NOT NULL CHECK (length(采购人) <= 200),
    大类 VARCHAR(200) NOT NULL CHECK (length(大类) <= 200),
    小类 VARCHAR(200) NOT NULL CHECK (length(小类) <= 200),
    编号 VARCHAR(200) NOT NULL CHECK (length(编号) <= 200),
    名称 VARCHAR(100) NOT NULL CHECK (length(名称) <= 100),
    产地 VARCHAR(100) NOT NULL CHECK (length(产地) <= 100),
    规格型号 VARCHAR(100) NOT NULL CHECK (length(规格型号) <= 100),
    批号 VARCHAR(200) NOT NULL CHECK (length(批号) <= 200),
    有效截止日期 VARCHAR(100) NOT NULL CHECK (length(有效截止日期) <= 100),
    进价 DOUBLE NOT NULL CHECK (typeof(进价) IN ('integer', 'real')),
    数量 DOUBLE NOT NULL CHECK (typeof(数量) IN ('integer', 'real')),
    录入员 VARCHAR(50) NOT NULL DEFAULT '' CHECK (length(录入员) <= 50),
    单号 VARCHAR(50) NOT NULL DEFAULT '' CHECK (length(单号) <= 50)
);

CREATE INDEX 进_采购日期 ON 进 (采购日期);
-- Every entry its own number, made by the program before it is sent. A row written by a
-- statement that names no 单号 (an older program's, a described INSERT) keeps it empty.
CREATE UNIQUE INDEX 进_单号 ON 进 (单号) WHERE 单号 <> '';

CREATE TABLE 存 (
    名称 VARCHAR(100) NOT NULL CHECK (length(名称) <= 100),
    产地 VARCHAR(100) NOT NULL CHECK (length(产地) <= 100),
    规格型号 VARCHAR(100) NOT NULL CHECK (length(规格型号) <= 100),
    有效截止日期 VARCHAR(100) NOT NULL CHECK (length(有效截止日期) <= 100),
    平均成本单价 DOUBLE NOT NULL CHECK (typeof(平均成本单价) IN ('integer', 'real')),
    现有存货量 DOUBLE NOT NULL CHECK (typeof(现有存货量) IN ('integer', 'real')),
    PRIMARY KEY (名称, 产地, 规格型号, 有效截止日期)
);
-- The cards a sale or a stock-take left below 0, found without reading every card.
CREATE INDEX 存_负库存 ON 存 (名称, 产地, 规格型号, 有效截止日期) WHERE 现有存货量 < 0;

CREATE TABLE 销 (
    日期时间 TIMESTAMP NOT NULL COLLATE APRICOT_DATETIME CHECK (apricot_is_datetime(日期时间)),
    名称 VARCHAR(100) NOT NULL CHECK (length(名称) <= 100),
    产地 VARCHAR(100) NOT NULL CHECK (length(产地) <= 100),
    规格型号 VARCHAR(100) NOT NULL CHECK (length(规格型号) <= 100),
    有效截止日期 VARCHAR(100) NOT NULL CHECK (length(有效截止日期) <= 100),
    零售价 DOUBLE NOT NULL CHECK (typeof(零售价) IN ('integer', 'real')),
    数量 DOUBLE NOT NULL CHECK (typeof(数量) IN ('integer', 'real')),
    销售类型 VARCHAR(100) NOT NULL CHECK (length(销售类型) <= 100),
    实收金额 DOUBLE NOT NULL CHECK (typeof(实收金额) IN ('integer', 'real')),
    坏帐 DOUBLE NOT NULL CHECK (typeof(坏帐) IN ('integer', 'real')),
    营业员 VARCHAR(50) NOT NULL DEFAULT '' CHECK (length(营业员) <= 50),
    单号 VARCHAR(50) NOT NULL DEFAULT '' CHECK (length(单号) <= 50),
    小票号 VARCHAR(100) NOT NULL DEFAULT '' CHECK (length(小票号) <= 100),
    冲正单号 VARCHAR(50) NOT NULL DEFAULT '' CHECK (length(冲正单号) <= 50),
    支付方式 VARCHAR(20) NOT NULL DEFAULT '' CHECK (length(支付方式) <= 20)
);

-- The time stamp tells the time only: sales of one second on several counters are all kept.
CREATE INDEX 销_日期时间 ON 销 (日期时间);
CREATE UNIQUE INDEX 销_单号 ON 销 (单号) WHERE 单号 <> '';
-- A reversing sale names the sale it reverses; a sale is reversed at most once.
CREATE UNIQUE INDEX 销_冲正单号 ON 销 (冲正单号) WHERE 冲正单号 <> '';

-- The sales of one card, for the join with its stock card starting from 存.
CREATE INDEX 销_存货卡 ON 销 (名称, 产地, 规格型号, 有效截止日期);

-- The SQLite ODBC driver reads every REAL as 15 significant digits. Numbers are kept at the
-- value those digits name, so the text a grid shows is the stored value and a cell written
-- back into a WHERE clause finds its row again. (PostgreSQL's driver gives every digit.)

CREATE TRIGGER 进_数字_新 AFTER INSERT ON 进
WHEN NEW.进价 <> CAST(printf('%!.15g', NEW.进价) AS REAL) OR NEW.数量 <> CAST(printf('%!.15g', NEW.数量) AS REAL)
BEGIN
    UPDATE 进 SET 进价 = CAST(printf('%!.15g', 进价) AS REAL), 数量 = CAST(printf('%!.15g', 数量) AS REAL) WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER 进_数字_改 AFTER UPDATE OF 进价, 数量 ON 进
WHEN NEW.进价 <> CAST(printf('%!.15g', NEW.进价) AS REAL) OR NEW.数量 <> CAST(printf('%!.15g', NEW.数量) AS REAL)
BEGIN
    UPDATE 进 SET 进价 = CAST(printf('%!.15g', 进价) AS REAL), 数量 = CAST(printf('%!.15g', 数量) AS REAL) WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER 存_数字_新 AFTER INSERT ON 存
WHEN NEW.平均成本单价 <> CAST(printf('%!.15g', NEW.平均成本单价) AS REAL) OR NEW.现有存货量 <> CAST(printf('%!.15g', NEW.现有存货量) AS REAL)
BEGIN
    UPDATE 存 SET 平均成本单价 = CAST(printf('%!.15g', 平均成本单价) AS REAL), 现有存货量 = CAST(printf('%!.15g', 现有存货量) AS REAL) WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER 存_数字_改 AFTER UPDATE OF 平均成本单价, 现有存货量 ON 存
WHEN NEW.平均成本单价 <> CAST(printf('%!.15g', NEW.平均成本单价) AS REAL) OR NEW.现有存货量 <> CAST(printf('%!.15g', NEW.现有存货量) AS REAL)
BEGIN
    UPDATE 存 SET 平均成本单价 = CAST(printf('%!.15g', 平均成本单价) AS REAL), 现有存货量 = CAST(printf('%!.15g', 现有存货量) AS REAL) WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER 销_数字_新 AFTER INSERT ON 销
WHEN NEW.零售价 <> CAST(printf('%!.15g', NEW.零售价) AS REAL) OR NEW.数量 <> CAST(printf('%!.15g', NEW.数量) AS REAL) OR NEW.实收金额 <> CAST(printf('%!.15g', NEW.实收金额) AS REAL) OR NEW.坏帐 <> CAST(printf('%!.15g', NEW.坏帐) AS REAL)
BEGIN
    UPDATE 销 SET 零售价 = CAST(printf('%!.15g', 零售价) AS REAL), 数量 = CAST(printf('%!.15g', 数量) AS REAL), 实收金额 = CAST(printf('%!.15g', 实收金额) AS REAL), 坏帐 = CAST(printf('%!.15g', 坏帐) AS REAL) WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER 销_数字_改 AFTER UPDATE OF 零售价, 数量, 实收金额, 坏帐 ON 销
WHEN NEW.零售价 <> CAST(printf('%!.15g', NEW.零售价) AS REAL) OR NEW.数量 <> CAST(printf('%!.15g', NEW.数量) AS REAL) OR NEW.实收金额 <> CAST(printf('%!.15g', NEW.实收金额) AS REAL) OR NEW.坏帐 <> CAST(printf('%!.15g', NEW.坏帐) AS REAL)
BEGIN
    UPDATE 销 SET 零售价 = CAST(printf('%!.15g', 零售价) AS REAL), 数量 = CAST(printf('%!.15g', 数量) AS REAL), 实收金额 = CAST(printf('%!.15g', 实收金额) AS REAL), 坏帐 = CAST(printf('%!.15g', 坏帐) AS REAL) WHERE rowid = NEW.rowid;
END;

-- The drug catalogue: one row per drug by the three words the cards use; a drug's first
-- barcode in 药品.条形码, any further ones in 药品条码.
CREATE TABLE 药品 (
    名称 VARCHAR(100) NOT NULL CHECK (length(名称) <= 100),
    产地 VARCHAR(100) NOT NULL CHECK (length(产地) <= 100),
    规格型号 VARCHAR(100) NOT NULL CHECK (length(规格型号) <= 100),
    条形码 VARCHAR(50) NOT NULL DEFAULT '' CHECK (length(条形码) <= 50),
    批准文号 VARCHAR(100) NOT NULL DEFAULT '' CHECK (length(批准文号) <= 100),
    类别 VARCHAR(20) NOT NULL DEFAULT '其他' CHECK (类别 IN ('处方药', '甲类非处方药', '乙类非处方药', '其他')),
    含麻黄碱 VARCHAR(2) NOT NULL DEFAULT '否' CHECK (含麻黄碱 IN ('是', '否')),
    每盒总量 DOUBLE NOT NULL DEFAULT 20 CHECK (typeof(每盒总量) IN ('integer', 'real') AND 每盒总量 > 0),
    拆零单位 VARCHAR(10) NOT NULL DEFAULT '片' CHECK (length(拆零单位) <= 10),
    零售价 DOUBLE NOT NULL DEFAULT 0 CHECK (typeof(零售价) IN ('integer', 'real') AND 零售价 >= 0),
    拆零价 DOUBLE NOT NULL DEFAULT 0 CHECK (typeof(拆零价) IN ('integer', 'real') AND 拆零价 >= 0),
    拼音码 VARCHAR(100) NOT NULL DEFAULT '' CHECK (length(拼音码) <= 100),
    PRIMARY KEY (名称, 产地, 规格型号)
);
CREATE UNIQUE INDEX 药品_条形码 ON 药品 (条形码) WHERE 条形码 <> '';

CREATE TRIGGER 药品_数字_新 AFTER INSERT ON 药品
WHEN NEW.每盒总量 <> CAST(printf('%!.15g', NEW.每盒总量) AS REAL) OR NEW.零售价 <> CAST(printf('%!.15g', NEW.零售价) AS REAL) OR NEW.拆零价 <> CAST(printf('%!.15g', NEW.拆零价) AS REAL)
BEGIN
    UPDATE 药品 SET 每盒总量 = CAST(printf('%!.15g', 每盒总量) AS REAL), 零售价 = CAST(printf('%!.15g', 零售价) AS REAL), 拆零价 = CAST(printf('%!.15g', 拆零价) AS REAL) WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER 药品_数字_改 AFTER UPDATE OF 每盒总量, 零售价, 拆零价 ON 药品
WHEN NEW.每盒总量 <> CAST(printf('%!.15g', NEW.每盒总量) AS REAL) OR NEW.零售价 <> CAST(printf('%!.15g', NEW.零售价) AS REAL) OR NEW.拆零价 <> CAST(printf('%!.15g', NEW.拆零价) AS REAL)
BEGIN
    UPDATE 药品 SET 每盒总量 = CAST(printf('%!.15g', 每盒总量) AS REAL), 零售价 = CAST(printf('%!.15g', 零售价) AS REAL), 拆零价 = CAST(printf('%!.15g', 拆零价) AS REAL) WHERE rowid = NEW.rowid;
END;

CREATE TABLE 药品条码 (
    条形码 VARCHAR(50) NOT NULL PRIMARY KEY CHECK (length(条形码) <= 50),
    名称 VARCHAR(100) NOT NULL CHECK (length(名称) <= 100),
    产地 VARCHAR(100) NOT NULL CHECK (length(产地) <= 100),
    规格型号 VARCHAR(100) NOT NULL CHECK (length(规格型号) <= 100)
);

-- Every box by its trace code: one row per code, unique across every counter on the books,
-- with the card it belongs to, where it stands, the purchase that brought it in and the entry
-- that took it out. 剩余 counts the pieces left in an opened box.
CREATE TABLE 追溯码 (
    追溯码 VARCHAR(60) NOT NULL PRIMARY KEY CHECK (length(追溯码) <= 60),
    名称 VARCHAR(100) NOT NULL CHECK (length(名称) <= 100),
    产地 VARCHAR(100) NOT NULL CHECK (length(产地) <= 100),
    规格型号 VARCHAR(100) NOT NULL CHECK (length(规格型号) <= 100),
    有效截止日期 VARCHAR(100) NOT NULL CHECK (length(有效截止日期) <= 100),
    批号 VARCHAR(100) NOT NULL DEFAULT '' CHECK (length(批号) <= 100),
    状态 VARCHAR(10) NOT NULL DEFAULT '在库' CHECK (状态 IN ('在库', '拆零中', '已售', '报损', '退货')),
    剩余 DOUBLE NOT NULL DEFAULT 0 CHECK (typeof(剩余) IN ('integer', 'real') AND 剩余 >= 0),
    进货单号 VARCHAR(40) NOT NULL DEFAULT '' CHECK (length(进货单号) <= 40),
    入库时间 VARCHAR(19) NOT NULL DEFAULT '' CHECK (length(入库时间) <= 19),
    出库单号 VARCHAR(40) NOT NULL DEFAULT '' CHECK (length(出库单号) <= 40),
    出库时间 VARCHAR(19) NOT NULL DEFAULT '' CHECK (length(出库时间) <= 19),
    出库操作员 VARCHAR(50) NOT NULL DEFAULT '' CHECK (length(出库操作员) <= 50)
);
-- A card's opened box, found without reading every code; an entry's codes by its number.
CREATE INDEX 追溯码_药盒 ON 追溯码 (名称, 产地, 规格型号, 有效截止日期, 状态);
CREATE INDEX 追溯码_出库单号 ON 追溯码 (出库单号);

CREATE TRIGGER 追溯码_数字_新 AFTER INSERT ON 追溯码
WHEN NEW.剩余 <> CAST(printf('%!.15g', NEW.剩余) AS REAL)
BEGIN
    UPDATE 追溯码 SET 剩余 = CAST(printf('%!.15g', 剩余) AS REAL) WHERE rowid = NEW.rowid;
END;

CREATE TRIGGER 追溯码_数字_改 AFTER UPDATE OF 剩余 ON 追溯码
WHEN NEW.剩余 <> CAST(printf('%!.15g', NEW.剩余) AS REAL)
BEGIN
    UPDATE 追溯码 SET 剩余 = CAST(printf('%!.15g', 剩余) AS REAL) WHERE rowid = NEW.rowid;
END;

-- Every movement of a code out: the code's story and an entry's codes (序号: its place in the
-- entry). 数量 is 1 for a box, the pieces for a split-pack sale.
CREATE TABLE 追溯码去向 (
    追溯码 VARCHAR(60) NOT NULL CHECK (length(追溯码) <= 60),
    单号 VARCHAR(40) NOT NULL CHECK (length(单号) <= 40),
    动作 VARCHAR(10) NOT NULL CHECK (动作 IN ('售出', '拆零', '报损', '退货', '冲正')),
    数量 DOUBLE NOT NULL CHECK (typeof(数量) IN ('integer', 'real')),
    时间 VARCHAR(19) NOT NULL CHECK (length(时间) <= 19),
    操作员 VARCHAR(50) NOT NULL DEFAULT '' CHECK (length(操作员) <= 50),
    序号 INTEGER NOT NULL DEFAULT 0 CHECK (typeof(序号) = 'integer'),
    PRIMARY KEY (追溯码, 单号)
);
CREATE INDEX 追溯码去向_单号 ON 追溯码去向 (单号);

CREATE TRIGGER 追溯码去向_数字_新 AFTER INSERT ON 追溯码去向
WHEN NEW.数量 <> CAST(printf('%!.15g', NEW.数量) AS REAL)
BEGIN
    UPDATE 追溯码去向 SET 数量 = CAST(printf('%!.15g', 数量) AS REAL) WHERE rowid = NEW.rowid;
END;

-- The rules every counter on these books shares, one row each (absent: the rule's default).
CREATE TABLE 账套设置 (
    名称 VARCHAR(50) NOT NULL PRIMARY KEY CHECK (length(名称) <= 50),
    值 VARCHAR(200) NOT NULL DEFAULT '' CHECK (length(值) <= 200)
);

-- Licensed pharmacists (执业药师) among the operators: who may go on duty, and review a
-- prescription.
CREATE TABLE 执业药师 (
    用户名 VARCHAR(50) NOT NULL PRIMARY KEY CHECK (length(用户名) <= 50)
);

-- A prescription sales were made on (处方号: its own number), with the pharmacist on duty who
-- reviewed it and the operator who dispensed it. 处方日期 is a day, yyyy-MM-dd.
CREATE TABLE 处方 (
    处方号 VARCHAR(50) NOT NULL PRIMARY KEY CHECK (length(处方号) <= 50),
    患者姓名 VARCHAR(50) NOT NULL CHECK (length(患者姓名) <= 50),
    性别 VARCHAR(2) NOT NULL CHECK (性别 IN ('男', '女')),
    年龄 INTEGER NOT NULL CHECK (typeof(年龄) = 'integer' AND 年龄 BETWEEN 0 AND 150),
    处方医师 VARCHAR(50) NOT NULL CHECK (length(处方医师) <= 50),
    医疗机构 VARCHAR(100) NOT NULL CHECK (length(医疗机构) <= 100),
    处方日期 VARCHAR(10) NOT NULL CHECK (length(处方日期) = 10),
    审方药师 VARCHAR(50) NOT NULL CHECK (length(审方药师) <= 50),
    调配人 VARCHAR(50) NOT NULL CHECK (length(调配人) <= 50),
    登记时间 VARCHAR(19) NOT NULL CHECK (length(登记时间) <= 19)
);
CREATE INDEX 处方_登记时间 ON 处方 (登记时间);

-- The sales a prescription served, one row a sale (销's 单号), with the batch it came from.
CREATE TABLE 处方销售 (
    单号 VARCHAR(50) NOT NULL PRIMARY KEY CHECK (length(单号) <= 50),
    处方号 VARCHAR(50) NOT NULL CHECK (length(处方号) <= 50),
    批号 VARCHAR(200) NOT NULL DEFAULT '' CHECK (length(批号) <= 200)
);
CREATE INDEX 处方销售_处方号 ON 处方销售 (处方号);

-- Every sale of a product containing ephedrine, one row a sale (销's 单号): the buyer whose ID
-- card was checked, the batch, and the prescription when it was sold on one.
CREATE TABLE 麻黄碱登记 (
    单号 VARCHAR(50) NOT NULL PRIMARY KEY CHECK (length(单号) <= 50),
    姓名 VARCHAR(50) NOT NULL CHECK (length(姓名) <= 50),
    身份证号 VARCHAR(18) NOT NULL CHECK (length(身份证号) = 18),
    批号 VARCHAR(200) NOT NULL DEFAULT '' CHECK (length(批号) <= 200),
    处方号 VARCHAR(50) NOT NULL DEFAULT '' CHECK (length(处方号) <= 50),
    时间 VARCHAR(19) NOT NULL CHECK (length(时间) <= 19)
);
-- A buyer's purchases of the last days, on every counter.
CREATE INDEX 麻黄碱登记_身份证号 ON 麻黄碱登记 (身份证号, 时间);
CREATE INDEX 麻黄碱登记_时间 ON 麻黄碱登记 (时间);

-- Every change the program makes, one row each, chained by 校验.
CREATE TABLE 日志 (
    序号 INTEGER NOT NULL PRIMARY KEY,
    时间 TIMESTAMP NOT NULL COLLATE APRICOT_DATETIME CHECK (apricot_is_datetime(时间)),
    操作员 VARCHAR(50) NOT NULL CHECK (length(操作员) <= 50),
    动作 VARCHAR(50) NOT NULL CHECK (length(动作) <= 50),
    对象 VARCHAR(100) NOT NULL CHECK (length(对象) <= 100),
    内容 TEXT NOT NULL CHECK (typeof(内容) = 'text'),
    校验 VARCHAR(64) NOT NULL CHECK (length(校验) <= 64),
    单号 VARCHAR(50) NOT NULL DEFAULT '' CHECK (length(单号) <= 50),
    行校验 TEXT NOT NULL DEFAULT '' CHECK (typeof(行校验) = 'text')
);

CREATE INDEX 日志_时间 ON 日志 (时间);
-- An entry whose reply was lost is looked up by its number.
CREATE INDEX 日志_单号 ON 日志 (单号);

-- Stock that leaves other than by sale, and what a stock-take finds.
CREATE TABLE 损 (
    日期时间 TIMESTAMP NOT NULL COLLATE APRICOT_DATETIME CHECK (apricot_is_datetime(日期时间)),
    名称 VARCHAR(100) NOT NULL CHECK (length(名称) <= 100),
    产地 VARCHAR(100) NOT NULL CHECK (length(产地) <= 100),
    规格型号 VARCHAR(100) NOT NULL CHECK (length(规格型号) <= 100),
    有效截止日期 VARCHAR(100) NOT NULL CHECK (length(有效截止日期) <= 100),
    数量 DOUBLE NOT NULL CHECK (typeof(数量) IN ('integer', 'real')),
    成本单价 DOUBLE NOT NULL CHECK (typeof(成本单价) IN ('integer', 'real')),
    原因 VARCHAR(20) NOT NULL CHECK (原因 IN ('过期', '破损', '退回供应商', '盘亏', '盘盈', '其他')),
    去向 VARCHAR(200) NOT NULL DEFAULT '' CHECK (length(去向) <= 200),
    操作员 VARCHAR(50) NOT NULL CHECK (length(操作员) <= 50),
    备注 VARCHAR(200) NOT NULL DEFAULT '' CHECK (length(备注) <= 200),
    单号 VARCHAR(50) NOT NULL DEFAULT '' CHECK (length(单号) <= 50)
);

CREATE INDEX 损_日期时间 ON 损 (日期时间);
CREATE UNIQUE INDEX 损_单号 ON 损 (单号) WHERE 单号 <> '';

CREATE TRIGGER 损_数字_新 AFTER INSERT ON 损
WHEN NEW.数量 <> CAST(printf('%!.15g', NEW.数量) AS REAL) OR NEW.成本单价 <> CAST(printf('%!.15g', NEW.成本单价) AS REAL)
BEGIN
    UPDATE 损 SET 数量 = CAST(printf('%!.15g', 数量) AS REAL), 成本单价 = CAST(printf('%!.15g', 成本单价) AS REAL) WHERE rowid = NEW.rowid;
END;

-- Books without this table are of the first version.
CREATE TABLE 账套版本 (
    版本 INTEGER NOT NULL CHECK (typeof(版本) = 'integer')
);

INSERT INTO 账套版本 (版本) VALUES (8);

INSERT INTO 操作员 (用户名, 密码, 角色) VALUES ('管理员', '737', '店长');
