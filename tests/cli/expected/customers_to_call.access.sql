SELECT [Customers].[CustomerID] AS [CustomerID], [Customers].[CustomerName] AS [Customer], [BigOrders].[LargeAmount], [OnHold].[HeldSince] 
FROM 
((	[Customers] 
	INNER JOIN 
	(
		SELECT 
			[Orders].[Amount] AS [LargeAmount], 
			[Orders].[CustomerID]
		FROM 
			([Orders])
		WHERE 
			IIF(ISNULL([Orders].[Amount]), 0, [Orders].[Amount]) > 3000 AND [Orders].[Rush] = False
	) AS [BigOrders]
	ON [Customers].[CustomerID] = [BigOrders].[CustomerID]) 
	LEFT JOIN 
	(
		SELECT 
			[Orders].[OrderDate] AS [HeldSince], 
			[Orders].[CustomerID]
		FROM 
			([Orders])
		WHERE 
			[Orders].[Status] = 'Held'
	) AS [OnHold]
	ON [Customers].[CustomerID] = [OnHold].[CustomerID]) 
WHERE 
	[Customers].[Active] = True
ORDER BY [Customers].[CustomerID] ASC
