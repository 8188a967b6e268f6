-- Rows of the sample database: 6 regions, 80 customers, 40 products, 300 orders and 900 order lines.
-- Every value is computed from the row number, so each build creates the same database.
INSERT INTO Regions (RegionID, RegionName, Code, Manager, Notes) VALUES
  (1, 'North', 'NO', 'Aino Virtanen', 'Covers the northern counties.'),
  (2, 'South', 'SO', 'Bruno Costa', NULL),
  (3, 'East', 'EA', 'Chen Wei', 'Two warehouses.'),
  (4, 'West', 'WE', 'Dara O''Neill', NULL),
  (5, 'Central', 'CE', 'Emeka Obi', 'Head office region.'),
  (6, 'Islands', 'IS', NULL, 'Deliveries by ferry; allow two extra days.');

WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 80)
INSERT INTO Customers (CustomerID, CustomerName, RegionID, Balance, CreditLimit, Since, Active, Rating, Email,
                       AccountGuid, Comments)
SELECT i,
       'Customer ' || printf('%03d', i),
       1 + (i * i + i / 7) % 6,
       ROUND((i * 137) % 5000 + (i % 4) * 0.25, 2),
       1000 * (1 + i % 10),
       date('2015-01-01', '+' || ((i * 41) % 3000) || ' days'),
       i % 7 <> 0,
       CASE WHEN i % 9 = 0 THEN NULL ELSE 1 + i % 5 END,
       'customer' || i || '@example.com',
       printf('%08X-0000-4000-8000-%012X', i * 2654435761 % 4294967296, i),
       CASE WHEN i % 5 = 0 THEN 'Prefers delivery before noon.' END
FROM n;

WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 40)
INSERT INTO Products (ProductID, ProductName, Category, ListPrice, Weight, Density, Discontinued, Barcode, Photo, Sku)
SELECT i,
       'Product ' || printf('%02d', i),
       CASE i % 4 WHEN 0 THEN 'Tools' WHEN 1 THEN 'Garden' WHEN 2 THEN 'Kitchen' ELSE 'Office' END,
       ROUND(5 + (i * 7919) % 500 / 3.0, 2),
       ROUND(0.25 * (1 + i % 20), 2),
       ROUND(0.5 + (i % 13) / 10.0, 3),
       i % 11 = 0,
       4006381333900 + i,
       CASE WHEN i % 3 = 0 THEN zeroblob(16) END,
       printf('00000000-0000-4000-9000-%012X', i * 97)
FROM n;

WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300)
INSERT INTO Orders (OrderID, CustomerID, OrderDate, "Ship Date", DueTime, Amount, Freight, Status, Rush, Placed,
                    Priority, Memo)
SELECT i,
       1 + (i * 7) % 80,
       date('2023-01-01', '+' || ((i * 3) % 700) || ' days'),
       CASE WHEN i % 10 IN (0, 1) THEN NULL
            ELSE datetime('2023-01-01', '+' || ((i * 3) % 700 + 1 + i % 6) || ' days', '+' || (8 + i % 9) || ' hours')
       END,
       printf('%02d:%02d', 9 + i % 8, (i * 15) % 60),
       0,
       ROUND(4.5 + (i % 17) * 1.25, 2),
       CASE WHEN i % 10 IN (0, 1) THEN (CASE i % 20 WHEN 0 THEN 'Held' ELSE 'Open' END)
            WHEN i % 13 = 0 THEN 'Cancelled' ELSE 'Shipped' END,
       i % 8 = 0,
       datetime('2023-01-01', '+' || ((i * 3) % 700) || ' days', '+' || (7 + i % 11) || ' hours',
                '+' || ((i * 7) % 60) || ' minutes'),
       1 + i % 3,
       CASE WHEN i % 8 = 0 THEN 'Rush order: call before shipping.' END
FROM n;

WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 900)
INSERT INTO OrderLines (LineID, OrderID, ProductID, Qty, UnitPrice, Discount, TaxRate, Weight, Packed, Delivered,
                        PickedAt, Checksum, Label, Scan, Extra)
SELECT i,
       1 + (i - 1) / 3,
       1 + (i * 17) % 40,
       1 + (i * 5) % 12,
       (SELECT ListPrice FROM Products WHERE ProductID = 1 + (i * 17) % 40),
       CASE WHEN i % 6 = 0 THEN 0.1 WHEN i % 15 = 0 THEN 0.25 ELSE 0 END,
       CASE WHEN i % 4 = 0 THEN 0.07 ELSE 0.2 END,
       ROUND(0.25 * (1 + (i * 17) % 40 % 20) * (1 + (i * 5) % 12), 2),
       i % 10 <> 0,
       CASE WHEN i % 10 IN (1, 2, 3) THEN NULL ELSE datetime('2023-01-03', '+' || (i % 700) || ' days') END,
       datetime('2023-01-02', '+' || (i % 700) || ' days', '+' || (i % 12) || ' hours'),
       CASE WHEN i % 4 = 0 THEN x'00112233445566778899AABBCCDDEEFF' END,
       x'4C4142454C3031',
       NULL,
       CASE i % 3 WHEN 0 THEN 'gift' WHEN 1 THEN 42 ELSE NULL END
FROM n;

-- An order's amount is the sum of its lines after discount.
UPDATE Orders
SET Amount = (SELECT ROUND(SUM(Qty * UnitPrice * (1 - Discount)), 2) FROM OrderLines WHERE OrderLines.OrderID = Orders.OrderID);
