SELECT [Customers].[CustomerID] AS [CustomerID], [Customers].[CustomerName] AS [Customer], [BigOrders].[LargeAmount], [OnHold].[HeldSince] 
FROM 
	[Customers] 
	INNER JOIN 
	(
		SELECT 
			[Orders].[Amount] AS [LargeAmount], 
			[Orders].[CustomerID]
		FROM 
			[Orders]
		WHERE 
			ISNULL([Orders].[Amount], 0) > 3000 AND [Orders].[Rush] = 0
	) AS [BigOrders]
	ON [Customers].[CustomerID] = [BigOrders].[CustomerID] 
	FULL JOIN 
	(
		SELECT 
			[Orders].[OrderDate] AS [HeldSince], 
			[Orders].[CustomerID]
		FROM 
			[Orders]
		WHERE 
			[Orders].[Status] = 'Held'
	) AS [OnHold]
	ON [Customers].[CustomerID] = [OnHold].[CustomerID] 
WHERE 
	[Customers].[Active] = 1
ORDER BY [Customers].[CustomerID] ASC
