-- The sample source database (sample/Harbour.mdb): a SQLite file standing in for the Access
-- file of a small ship chandlery, with its report exports beside it in
-- Harbour.mdb.src/reports/. Its saved queries are views; MSysObjects lists no linked tables.

CREATE TABLE MSysObjects (Name TEXT, Type INTEGER, Flags INTEGER, Database TEXT, ForeignName TEXT,
                          Connect TEXT);

CREATE TABLE Categories (
    CategoryID INTEGER PRIMARY KEY,
    CategoryName TEXT(40)
);
INSERT INTO Categories VALUES
    (1, 'Deck Hardware'), (2, 'Rope and Rigging'), (3, 'Safety'), (4, 'Paint and Care');

CREATE TABLE Products (
    ProductID INTEGER PRIMARY KEY,
    ProductName TEXT(60),
    CategoryID INTEGER,
    UnitPrice DOUBLE,
    UnitsInStock INTEGER
);
INSERT INTO Products VALUES
    (1, 'Bronze cleat, 150 mm', 1, 24.5, 40),
    (2, 'Stainless shackle, 8 mm', 1, 6.8, 220),
    (3, 'Deck fill cap', 1, 18.9, 35),
    (4, 'Snatch block', 1, 42, 12),
    (5, 'Braided line, 10 mm (per m)', 2, 2.35, 900),
    (6, 'Three-strand mooring line, 14 mm (per m)', 2, 3.1, 600),
    (7, 'Turnbuckle, 10 mm', 2, 31.75, 18),
    (8, 'Lifejacket, 150 N', 3, 89, 30),
    (9, 'Throwing line bag', 3, 27.5, 25),
    (10, 'Parachute flares (pack of 2)', 3, 64, 16),
    (11, 'Fire extinguisher, 1 kg', 3, 38.4, 20),
    (12, 'Antifouling, 2.5 l', 4, 119, 24),
    (13, 'Teak oil, 1 l', 4, 21.9, 48),
    (14, 'Gelcoat polish', 4, 16.5, 60);

CREATE TABLE Customers (
    CustomerID TEXT(5) PRIMARY KEY,
    CompanyName TEXT(60),
    City TEXT(40),
    Country TEXT(40)
);
INSERT INTO Customers VALUES
    ('BAYSL', 'Bayside Sailing School', 'Portree', 'United Kingdom'),
    ('GULLW', 'Gull Wharf Boatyard', 'Brest', 'France'),
    ('NORDF', 'Nordfjord Ferries', 'Ålesund', 'Norway'),
    ('TIDEC', 'Tidewater Charters', 'Cork', 'Ireland');

CREATE TABLE Orders (
    OrderID INTEGER PRIMARY KEY,
    CustomerID TEXT(5),
    OrderDate DATETIME
);
INSERT INTO Orders VALUES
    (1001, 'BAYSL', '2024-03-04 00:00:00'),
    (1002, 'GULLW', '2024-03-11 00:00:00'),
    (1003, 'NORDF', '2024-03-15 00:00:00'),
    (1004, 'BAYSL', '2024-04-02 00:00:00'),
    (1005, 'TIDEC', '2024-04-09 00:00:00'),
    (1006, 'GULLW', '2024-04-22 00:00:00'),
    (1007, 'NORDF', '2024-05-06 00:00:00');

CREATE TABLE OrderLines (
    OrderID INTEGER,
    ProductID INTEGER,
    Quantity INTEGER,
    UnitPrice DOUBLE,
    PRIMARY KEY (OrderID, ProductID)
);
INSERT INTO OrderLines VALUES
    (1001, 8, 12, 89), (1001, 9, 4, 27.5), (1001, 5, 120, 2.35),
    (1002, 12, 10, 115), (1002, 14, 6, 16.5), (1002, 1, 8, 24.5),
    (1003, 6, 300, 3.1), (1003, 2, 40, 6.8), (1003, 11, 6, 38.4),
    (1004, 13, 4, 21.9), (1004, 10, 5, 64),
    (1005, 4, 2, 42), (1005, 7, 4, 31.75), (1005, 8, 6, 89),
    (1006, 12, 8, 119), (1006, 3, 5, 18.9),
    (1007, 5, 250, 2.35), (1007, 9, 8, 27.5), (1007, 11, 10, 38.4);

-- Saved queries.
CREATE VIEW [Sales by Category] AS
    SELECT Categories.CategoryName, Products.ProductName, Orders.OrderID, Orders.OrderDate,
           OrderLines.Quantity, OrderLines.UnitPrice, OrderLines.Quantity * OrderLines.UnitPrice AS LineTotal
    FROM ((OrderLines INNER JOIN Orders ON OrderLines.OrderID = Orders.OrderID)
          INNER JOIN Products ON OrderLines.ProductID = Products.ProductID)
          INNER JOIN Categories ON Products.CategoryID = Categories.CategoryID;

CREATE VIEW [Order Lines] AS
    SELECT Orders.CustomerID, Orders.OrderID, Orders.OrderDate, Products.ProductName, OrderLines.Quantity,
           OrderLines.UnitPrice, OrderLines.Quantity * OrderLines.UnitPrice AS LineTotal
    FROM (OrderLines INNER JOIN Orders ON OrderLines.OrderID = Orders.OrderID)
         INNER JOIN Products ON OrderLines.ProductID = Products.ProductID;

CREATE VIEW [Price List] AS
    SELECT Products.ProductName, Categories.CategoryName, Products.UnitPrice, Products.UnitsInStock
    FROM Products INNER JOIN Categories ON Products.CategoryID = Categories.CategoryID;
