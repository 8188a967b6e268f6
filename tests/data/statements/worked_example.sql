-- The schema of the two worked examples: Balance and OrderID are text columns, so the conditions on
-- them render without null wrapping in either dialect.
CREATE TABLE Customers (CustID INTEGER PRIMARY KEY, CustName TEXT, Balance TEXT);
INSERT INTO Customers VALUES (1, 'Alfreds', '1500'), (2, 'Bottom-Dollar', '20');
CREATE TABLE Regions (RegionID INTEGER, RegionName TEXT, CustID INTEGER);
INSERT INTO Regions VALUES (1, 'North', 1), (2, 'South', 2);
CREATE TABLE Orders (OrderID TEXT, CustID INTEGER, OrderDate DATETIME, Status TEXT);
INSERT INTO Orders VALUES ('A1', 1, '2020-01-10 09:30:00', 'Open'), ('A2', 2, '2020-02-11 14:00:00', 'Shipped');
