-- The sample database of the examples: regions, customers, products, orders and order lines.
-- The declared types cover every type name the SQLite backend knows (the comment gives the ADO type code
-- it maps to), so `talvane schema` shows how the library takes each kind of column.
PRAGMA foreign_keys = ON;

CREATE TABLE Regions (
  RegionID     TINYINT PRIMARY KEY,           -- 17
  RegionName   NVARCHAR(40) NOT NULL,         -- 202
  Code         CHAR(2) NOT NULL,              -- 129
  Manager      NCHAR(30),                     -- 130
  Notes        MEMO                           -- 203
);

CREATE TABLE Customers (
  CustomerID   INTEGER PRIMARY KEY,           -- 3
  CustomerName VARCHAR(60) NOT NULL,          -- 200
  RegionID     TINYINT NOT NULL REFERENCES Regions (RegionID),
  Balance      CURRENCY NOT NULL,             -- 6
  CreditLimit  SMALLMONEY NOT NULL,           -- 6
  Since        DATE NOT NULL,                 -- 133
  Active       YESNO NOT NULL,                -- 11
  Rating       SMALLINT,                      -- 2
  Email        TEXT,                          -- 202
  AccountGuid  UNIQUEIDENTIFIER,              -- 72
  Comments     NTEXT                          -- 203
);

CREATE TABLE Products (
  ProductID    INT PRIMARY KEY,               -- 3
  ProductName  NVARCHAR(60) NOT NULL,         -- 202
  Category     VARCHAR(20) NOT NULL,          -- 200
  ListPrice    MONEY NOT NULL,                -- 6
  Weight       SINGLE,                        -- 4
  Density      DOUBLE,                        -- 5
  Discontinued BIT NOT NULL,                  -- 11
  Barcode      BIGINT,                        -- 20
  Photo        IMAGE,                         -- 205
  Sku          GUID                           -- 72
);

CREATE TABLE Orders (
  OrderID      INTEGER PRIMARY KEY,           -- 3
  CustomerID   INTEGER NOT NULL REFERENCES Customers (CustomerID),
  OrderDate    DATE NOT NULL,                 -- 133
  "Ship Date"  DATETIME,                      -- 135
  DueTime      TIME,                          -- 134
  Amount       MONEY NOT NULL,                -- 6
  Freight      DECIMAL(10, 2) NOT NULL,       -- 131
  Status       VARCHAR(10) NOT NULL,          -- 200
  Rush         BOOLEAN NOT NULL,              -- 11
  Placed       TIMESTAMP NOT NULL,            -- 135
  Priority     MEDIUMINT NOT NULL,            -- 3
  Memo         LONGTEXT                       -- 203
);

CREATE TABLE OrderLines (
  LineID       BIGINT PRIMARY KEY,            -- 20
  OrderID      INTEGER NOT NULL REFERENCES Orders (OrderID),
  ProductID    INT NOT NULL REFERENCES Products (ProductID),
  Qty          SMALLINT NOT NULL,             -- 2
  UnitPrice    SMALLMONEY NOT NULL,           -- 6
  Discount     REAL NOT NULL,                 -- 5
  TaxRate      NUMERIC(5, 4) NOT NULL,        -- 131
  Weight       FLOAT,                         -- 5
  Packed       BOOL NOT NULL,                 -- 11
  Delivered    DATETIME2,                     -- 135
  PickedAt     SMALLDATETIME,                 -- 135
  Checksum     VARBINARY(16),                 -- 205
  Label        BINARY(8),                     -- 205
  Scan         BLOB,                          -- 205
  Extra                                       -- 12: no declared type
);
