SELECT [Orders].[OrderID] AS [OrderID], [Orders].[CustomerID] AS [Customer], [Orders].[Ship Date] AS [Shipped], [Orders].[Amount] AS [Amount] 
FROM 
	[Orders] 
WHERE 
	ISNULL([Orders].[Amount], 0) >= 2000 AND [Orders].[Ship Date] BETWEEN CONVERT(DATETIME, '2023-01-01 00:00:00', 102) AND CONVERT(DATETIME, '2023-12-31 00:00:00', 102) AND [Orders].[Status] IN ('Shipped', 'Held')
ORDER BY [Orders].[Amount] DESC
