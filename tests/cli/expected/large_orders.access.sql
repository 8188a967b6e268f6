SELECT [Orders].[OrderID] AS [OrderID], [Orders].[CustomerID] AS [Customer], [Orders].[Ship Date] AS [Shipped], [Orders].[Amount] AS [Amount] 
FROM 
	[Orders] 
WHERE 
	IIF(ISNULL([Orders].[Amount]), 0, [Orders].[Amount]) >= 2000 AND [Orders].[Ship Date] BETWEEN #01/01/2023# AND #12/31/2023# AND [Orders].[Status] IN ('Shipped', 'Held')
ORDER BY [Orders].[Amount] DESC
