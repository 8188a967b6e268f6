-- The schema of the PostgreSQL tests: one column of each of the server's common types, a small order book,
-- a table of a million rows and one of ten, and a view whose rows cannot be computed.
CREATE TABLE typed (
  i integer, b bigint, n numeric(10, 2), r real, d double precision, flag boolean, day date, t time,
  ts timestamp, v varchar(20), tx text, u uuid
);
CREATE TABLE customers (custid integer PRIMARY KEY, name varchar(40), region varchar(20), onhold boolean);
CREATE TABLE orders (orderid integer PRIMARY KEY, custid integer, amount numeric(10, 2), orderdate date);
INSERT INTO customers VALUES (1, 'Ada', 'North', false), (2, 'Brook', 'South', true);
INSERT INTO orders VALUES (10, 1, 2500.00, '2024-01-05'), (11, 2, 40.00, '2024-02-11');
CREATE TABLE million AS SELECT g AS id, g * 2 AS amount FROM generate_series(1, 1000000) AS g;
CREATE TABLE ten AS SELECT g AS id, g * 2 AS amount FROM generate_series(1, 10) AS g;
CREATE VIEW failing AS SELECT id, 1 / (id - id) AS boom FROM million;
